#include "ui/window/window_placement.h"

#include <gtest/gtest.h>

namespace ombrix::ui {
namespace {

TEST(WindowPlacementTest, FitsTheWindowToTheWorkArea) {
  struct Case {
    PixelRect workArea;
    std::uint32_t dpi;
    PixelRect expected;
  };
  const Case cases[] = {
      // Large screen: the preferred size, centred.
      {{0, 0, 1920, 1040}, 96, {320, 160, 1280, 720}},
      // 1024 x 600: 80 % of it, centred.
      {{0, 0, 1024, 600}, 96, {102, 60, 819, 480}},
      // A work area that does not start at the origin (taskbar on the left).
      {{60, 0, 1024, 600}, 96, {162, 60, 819, 480}},
      // Tiny: 48 short of the work area wins over 80 %, and never below 1.
      {{0, 0, 200, 100}, 96, {24, 24, 152, 52}},
      {{0, 0, 30, 20}, 96, {14, 9, 1, 1}},
      // At 200 % on a 4K screen: 1280 x 720 at 96 DPI, scaled.
      {{0, 0, 3840, 2080}, 192, {640, 320, 2560, 1440}},
      // At 175 % on 2560 x 1400: 80 % of the work area caps the scaled size.
      {{0, 0, 2560, 1400}, 168, {256, 140, 2048, 1120}},
      // At 200 % on a small work area the scaled border (96) wins over 80 %.
      {{0, 0, 400, 300}, 192, {48, 48, 304, 204}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceOnWorkArea(c.workArea, c.dpi), c.expected)
        << c.workArea.width << " x " << c.workArea.height << " at " << c.dpi;
  }
}

TEST(WindowPlacementTest, CentresDialogsButNeverLeftOfOrAboveTheOwner) {
  EXPECT_EQ(CentreOverOwner({100, 50, 1280, 720}, 520, 300), (PixelRect{480, 260, 520, 300}));
  EXPECT_EQ(CentreOverOwner({100, 50, 400, 200}, 520, 300), (PixelRect{100, 50, 520, 300}));
}

}  // namespace
}  // namespace ombrix::ui
