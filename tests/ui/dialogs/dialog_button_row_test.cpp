#include "ui/dialogs/dialog_button_row.h"

#include <gtest/gtest.h>

#include <vector>

namespace ombrix::ui {
namespace {

TEST(DialogButtonRowTest, ButtonsGrowToTheirCaptionsAroundTheRowsAnchor) {
  // The start-up dialog's pair, centred on 260; OK and Cancel, right-aligned.
  const std::vector<PixelRect> pair = {{122, 216, 130, 30}, {268, 216, 130, 30}};
  const std::vector<PixelRect> okCancel = {{236, 130, 80, 28}, {330, 130, 90, 28}};
  struct Case {
    const std::vector<PixelRect>* rects96;
    std::vector<int> captions;
    RowAnchor anchor;
    std::uint32_t dpi;
    std::vector<PixelRect> expected;
  };
  const Case cases[] = {
      // Short captions: the row as written.
      {&pair, {80, 90}, RowAnchor::Centre, 96, pair},
      // A long first caption: 170 + 24 wide, the gap of 16 kept, centred.
      {&pair, {170, 90}, RowAnchor::Centre, 96, {{90, 216, 194, 30}, {300, 216, 130, 30}}},
      // At 150 %: every written size scaled first, then grown.
      {&pair, {0, 240}, RowAnchor::Centre, 144, {{143, 324, 195, 45}, {362, 324, 276, 45}}},
      // Right-aligned: the right edge stays at 420.
      {&okCancel, {100, 50}, RowAnchor::Right, 96, {{192, 130, 124, 28}, {330, 130, 90, 28}}},
      // Wider than the space left of it: the row starts at the edge.
      {&pair, {600, 600}, RowAnchor::Centre, 96, {{0, 216, 624, 30}, {640, 216, 624, 30}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LayOutButtonRow(*c.rects96, c.captions, c.anchor, c.dpi), c.expected)
        << c.captions[0] << " " << c.dpi;
  }
}

}  // namespace
}  // namespace ombrix::ui
