// A rectangle in a window's client or screen pixels, as the layout code
// passes it around: origin and size, the way MoveWindow takes it.
#pragma once

namespace ombrix::ui {

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }
  int bottom() const { return top + height; }
  // Half-open: the right and bottom edges belong to the next rectangle.
  bool Contains(int x, int y) const { return x >= left && x < right() && y >= top && y < bottom(); }

  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace ombrix::ui
