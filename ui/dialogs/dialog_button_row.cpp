#include "ui/dialogs/dialog_button_row.h"

#include <algorithm>

#include "ui/common/dpi_scaling.h"

namespace ombrix::ui {

std::vector<PixelRect> LayOutButtonRow(std::span<const PixelRect> rects96,
                                       std::span<const int> captionWidths, RowAnchor anchor,
                                       std::uint32_t dpi) {
  std::vector<PixelRect> row;
  if (rects96.empty()) return row;
  const int padding = ScaleForDpi(kDialogButtonCaptionPadding, dpi);
  for (std::size_t i = 0; i < rects96.size(); ++i) {
    PixelRect button = ScaleRectForDpi(rects96[i], dpi);
    const int caption = i < captionWidths.size() ? captionWidths[i] : 0;
    button.width = std::max(button.width, caption + padding);
    row.push_back(button);
  }
  const int writtenLeft = row.front().left;
  const int writtenRight = ScaleRectForDpi(rects96.back(), dpi).right();
  // Left to right with the written gaps.
  for (std::size_t i = 1; i < row.size(); ++i) {
    const int gap = ScaleForDpi(rects96[i].left, dpi) - ScaleRectForDpi(rects96[i - 1], dpi).right();
    row[i].left = row[i - 1].right() + gap;
  }
  const int width = row.back().right() - writtenLeft;
  const int left = anchor == RowAnchor::Right
                       ? writtenRight - width
                       : writtenLeft + (writtenRight - writtenLeft - width) / 2;
  const int shift = std::max(left, 0) - writtenLeft;
  for (PixelRect& button : row) button.left += shift;
  return row;
}

}  // namespace ombrix::ui
