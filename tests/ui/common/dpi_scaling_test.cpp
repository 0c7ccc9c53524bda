#include "ui/common/dpi_scaling.h"

#include <gtest/gtest.h>

#include <limits>

namespace ombrix::ui {
namespace {

TEST(DpiScalingTest, RoundsLikeMulDiv) {
  struct Case {
    int value, numerator, denominator, expected;
  };
  const Case cases[] = {
      {8, 144, 96, 12}, {6, 120, 96, 8},
      {6, 144, 96, 9},  {1, 3, 2, 2},
      {-1, 3, 2, -2},   {1, -3, 2, -2},
      {5, 1, -2, -3},   {7, 0, 96, 0},
      {7, 96, 0, -1},   {std::numeric_limits<int>::max(), 2, 1, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MulDivRounded(c.value, c.numerator, c.denominator), c.expected)
        << c.value << " * " << c.numerator << " / " << c.denominator;
  }
}

TEST(DpiScalingTest, ScalesEveryFieldOfARectangle) {
  EXPECT_EQ(ScaleRectForDpi(PixelRect{24, 18, 472, 24}, 96), (PixelRect{24, 18, 472, 24}));
  EXPECT_EQ(ScaleRectForDpi(PixelRect{24, 18, 472, 24}, 144), (PixelRect{36, 27, 708, 36}));
  EXPECT_EQ(ScaleRectForDpi(PixelRect{122, 216, 130, 30}, 120), (PixelRect{153, 270, 163, 38}));
}

}  // namespace
}  // namespace ombrix::ui
