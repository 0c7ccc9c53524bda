#include "ui/common/dpi_scaling.h"

#include <cstdint>
#include <limits>

namespace ombrix::ui {

int MulDivRounded(int value, int numerator, int denominator) {
  if (denominator == 0) return -1;
  std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  std::int64_t divisor = denominator;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  const std::int64_t half = divisor / 2;
  const std::int64_t result =
      product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  if (result > std::numeric_limits<int>::max() || result < -std::numeric_limits<int>::max()) {
    return -1;
  }
  return static_cast<int>(result);
}

int ScaleForDpi(int value96, std::uint32_t dpi) {
  return MulDivRounded(value96, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

PixelRect ScaleRectForDpi(const PixelRect& rect96, std::uint32_t dpi) {
  return PixelRect{ScaleForDpi(rect96.left, dpi), ScaleForDpi(rect96.top, dpi),
                   ScaleForDpi(rect96.width, dpi), ScaleForDpi(rect96.height, dpi)};
}

}  // namespace ombrix::ui
