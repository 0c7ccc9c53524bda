// Where top-level windows go: the main window on its monitor's work area
// once it exists, dialogs centred over their owner.
#pragma once

#include "ui/pixel_rect.h"

namespace ombrix::ui {

// At most 1280 x 720, at most 80 % of the work area and at least 48 pixels
// short of it in each direction, never larger than the window is now;
// centred in the work area.
PixelRect PlaceOnWorkArea(const PixelRect& workArea, int currentWidth, int currentHeight);

// Centred over the owner, but never left of or above the owner's own
// origin, so a dialog larger than its owner keeps its caption reachable
// where the owner's is.
PixelRect CentreOverOwner(const PixelRect& owner, int width, int height);

}  // namespace ombrix::ui
