// Where top-level windows go: the main window on its monitor's work area
// once it exists, dialogs centred over their owner.
#pragma once

#include <cstdint>

#include "ui/common/pixel_rect.h"

namespace ombrix::ui {

// At most 1280 x 720 at 96 DPI, scaled to the window's DPI like every other
// size in the window (at 200 % the tool row alone is wider than 1280
// pixels), but never more than 80 % of the work area nor closer than 48
// scaled pixels to its edges; centred in the work area.
PixelRect PlaceOnWorkArea(const PixelRect& workArea, std::uint32_t dpi);

// Centred over the owner, but never left of or above the owner's own
// origin, so a dialog larger than its owner keeps its caption reachable
// where the owner's is.
PixelRect CentreOverOwner(const PixelRect& owner, int width, int height);

}  // namespace ombrix::ui
