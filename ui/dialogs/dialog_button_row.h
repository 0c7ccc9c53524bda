// The push buttons along the bottom of a dialog, sized to their captions.
// The layouts are written at 96 DPI for English; a longer caption (Russian
// "Режим администратора") or a larger text size would be cut off by a
// fixed width. Each button is as wide as its caption needs and never
// narrower than written; the gaps between the buttons stay, and so does
// the row's anchor: its centre, or its right edge.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "ui/common/pixel_rect.h"

namespace ombrix::ui {

enum class RowAnchor { Centre, Right };

// Room beside a caption, both sides together, at 96 DPI.
inline constexpr int kDialogButtonCaptionPadding = 24;

// rects96: the buttons as written, left to right; captionWidths: each
// caption's width in the dialog's font, in pixels at `dpi`. The result is
// in pixels at `dpi`, never left of the client area.
std::vector<PixelRect> LayOutButtonRow(std::span<const PixelRect> rects96,
                                       std::span<const int> captionWidths, RowAnchor anchor,
                                       std::uint32_t dpi);

}  // namespace ombrix::ui
