// Pixel constants are written at 96 DPI and scaled where they are used, by
// the DPI of the window they are used in.
#pragma once

#include <cstdint>

#include "ui/common/pixel_rect.h"

namespace ombrix::ui {

inline constexpr std::uint32_t kBaseDpi = 96;

// Win32's MulDiv: value * numerator / denominator in 64 bits, rounded half
// away from zero; -1 for a zero denominator or a result outside int. The
// window code and the tests must agree on every rounding, so the neutral
// code uses this one and never the platform call.
int MulDivRounded(int value, int numerator, int denominator);

// value96 * dpi / 96, rounded as MulDiv rounds.
int ScaleForDpi(int value96, std::uint32_t dpi);

// Every coordinate and size of a rectangle written at 96 DPI.
PixelRect ScaleRectForDpi(const PixelRect& rect96, std::uint32_t dpi);

}  // namespace ombrix::ui
