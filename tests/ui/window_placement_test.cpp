#include "ui/window_placement.h"

#include <gtest/gtest.h>

namespace ombrix::ui {
namespace {

TEST(WindowPlacementTest, FitsTheWindowToTheWorkArea) {
  struct Case {
    PixelRect workArea;
    int currentWidth, currentHeight;
    PixelRect expected;
  };
  const Case cases[] = {
      // Large screen: the preferred size, centred.
      {{0, 0, 1920, 1040}, 1280, 720, {320, 160, 1280, 720}},
      // 1024 x 600: 80 % of it, centred.
      {{0, 0, 1024, 600}, 1280, 720, {102, 60, 819, 480}},
      // A work area that does not start at the origin (taskbar on the left).
      {{60, 0, 1024, 600}, 1280, 720, {162, 60, 819, 480}},
      // Tiny: 48 short of the work area wins over 80 %, and never below 1.
      {{0, 0, 200, 100}, 1280, 720, {24, 24, 152, 52}},
      {{0, 0, 30, 20}, 1280, 720, {14, 9, 1, 1}},
      // Never larger than the window already is.
      {{0, 0, 1920, 1040}, 800, 500, {560, 270, 800, 500}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceOnWorkArea(c.workArea, c.currentWidth, c.currentHeight), c.expected)
        << c.workArea.width << " x " << c.workArea.height;
  }
}

TEST(WindowPlacementTest, CentresDialogsButNeverLeftOfOrAboveTheOwner) {
  EXPECT_EQ(CentreOverOwner({100, 50, 1280, 720}, 520, 300), (PixelRect{480, 260, 520, 300}));
  EXPECT_EQ(CentreOverOwner({100, 50, 400, 200}, 520, 300), (PixelRect{100, 50, 520, 300}));
}

}  // namespace
}  // namespace ombrix::ui
