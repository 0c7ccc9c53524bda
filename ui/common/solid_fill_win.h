// One rectangle filled with one colour, the building block of the owner
// drawing (background, splitters, bars, icons, header and status bar).
#pragma once

#include <windows.h>

#include "ui/common/pixel_rect.h"

namespace ombrix::ui {

inline void FillSolid(HDC dc, const PixelRect& rect, COLORREF colour) {
  if (rect.width <= 0 || rect.height <= 0) return;
  const RECT area{rect.left, rect.top, rect.right(), rect.bottom()};
  ::SetDCBrushColor(dc, colour);
  ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

}  // namespace ombrix::ui
