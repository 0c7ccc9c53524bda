#include "ui/window/main_window_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/common/dpi_scaling.h"

namespace ombrix::ui {
namespace {

std::vector<PixelRect> AllRects(const MainWindowLayout& l) {
  return {l.selector,    l.folderButton,       l.scanButton,          l.cancelButton,
          l.openButton,  l.findBox,            l.foldersList,         l.filesList,
          l.subfoldersList, l.splitters.vertical, l.splitters.horizontal};
}

ToolButtonWidths MinimumButtons(std::uint32_t dpi) {
  return ToolButtonWidths{
      ScaleForDpi(kFolderButtonMinWidth, dpi), ScaleForDpi(kScanButtonMinWidth, dpi),
      ScaleForDpi(kCancelButtonMinWidth, dpi), ScaleForDpi(kOpenButtonMinWidth, dpi)};
}

TEST(MainWindowLayoutTest, ArrangesTheWindowAtEachDpi) {
  struct Case {
    std::uint32_t dpi;
    ClientSize client;
    MainWindowLayout expected;
  };
  const Case cases[] = {
      {96,
       {1264, 681, 24},
       {{8, 8, 460, 180},
        {476, 8, 112, 28},
        {596, 8, 90, 28},
        {694, 8, 90, 28},
        {824, 8, 90, 28},
        {8, 44, 617, 24},
        {8, 74, 617, 575},
        {639, 44, 617, 299},
        {639, 349, 617, 300},
        {{625, 44, 6, 605}, {639, 343, 617, 6}}}},
      {144,
       {1896, 1022, 36},
       {{12, 12, 690, 270},
        {714, 12, 168, 42},
        {894, 12, 135, 42},
        {1041, 12, 135, 42},
        {1236, 12, 135, 42},
        {12, 66, 925, 36},
        {12, 111, 925, 863},
        {958, 66, 926, 449},
        {958, 524, 926, 450},
        {{937, 66, 9, 908}, {958, 515, 926, 9}}}},
  };
  for (const Case& c : cases) {
    SplitterPositions splitters;
    const MainWindowLayout layout =
        LayOutMainWindow(c.client, c.dpi, MinimumButtons(c.dpi), splitters);
    const std::vector<PixelRect> actual = AllRects(layout);
    const std::vector<PixelRect> expected = AllRects(c.expected);
    for (std::size_t i = 0; i < actual.size(); ++i) {
      EXPECT_EQ(actual[i], expected[i]) << "dpi " << c.dpi << " rect " << i;
    }
  }
}

// With Windows' text size above 100 % the status bar is taller than at
// first: the lists and the splitter end a margin above it, not under it.
TEST(MainWindowLayoutTest, ListsEndAboveTheStatusBarWhateverItsHeight) {
  for (const int statusBar : {0, 24, 41, 60}) {
    const ClientSize client{1264, 681, statusBar};
    SplitterPositions splitters;
    const MainWindowLayout layout = LayOutMainWindow(client, 96, MinimumButtons(96), splitters);
    const int top = client.height - statusBar;
    EXPECT_EQ(layout.foldersList.bottom(), top - 8) << statusBar;
    EXPECT_EQ(layout.subfoldersList.bottom(), top - 8) << statusBar;
    EXPECT_EQ(layout.splitters.vertical.bottom(), top - 8) << statusBar;
  }
}

TEST(MainWindowLayoutTest, ButtonsGrowWithLongCaptions) {
  EXPECT_EQ(ToolButtonWidth(kScanButtonMinWidth, 40, 96), 90);
  EXPECT_EQ(ToolButtonWidth(kScanButtonMinWidth, 100, 96), 134);
  EXPECT_EQ(ToolButtonWidth(kScanButtonMinWidth, 100, 144), 151);
}

TEST(MainWindowLayoutTest, NoSizeIsNegativeHoweverSmallTheWindow) {
  for (std::uint32_t dpi : {96u, 144u, 192u}) {
    for (int width = 0; width <= 1400; width += 35) {
      for (int height = 0; height <= 900; height += 45) {
        SplitterPositions splitters;
        const MainWindowLayout layout =
            LayOutMainWindow({width, height, ScaleForDpi(24, dpi)}, dpi, MinimumButtons(dpi),
                             splitters);
        for (const PixelRect& rect : AllRects(layout)) {
          ASSERT_GE(rect.width, 0) << width << " x " << height;
          ASSERT_GE(rect.height, 0) << width << " x " << height;
        }
        const int selector = layout.selector.width;
        ASSERT_GE(selector, ScaleForDpi(300, dpi));
        ASSERT_LE(selector, ScaleForDpi(460, dpi));
      }
    }
  }
  SplitterPositions splitters;
  const MainWindowLayout narrow =
      LayOutMainWindow({200, 60, 24}, 96, MinimumButtons(96), splitters);
  EXPECT_EQ(narrow.filesList.width, 0);
  EXPECT_EQ(narrow.subfoldersList.height, 0);
}

TEST(MainWindowLayoutTest, DraggedSplittersStopWhereEachPaneKeepsItsMinimum) {
  const ClientSize client{1264, 681, 24};
  SplitterPositions splitters;
  LayOutMainWindow(client, 96, MinimumButtons(96), splitters);
  struct Drag {
    Splitter splitter;
    int x, y;
    int expectedLeft, expectedTop;
  };
  const std::vector<Drag> drags = {
      {Splitter::Vertical, -50, 300, 180, 299},
      {Splitter::Vertical, 5000, 300, 914, 299},
      {Splitter::Vertical, 400, 300, 389, 299},
      {Splitter::Horizontal, 700, -9, 389, 120},
      {Splitter::Horizontal, 700, 5000, 389, 479},
      {Splitter::Horizontal, 700, 250, 389, 203},
      {Splitter::None, 0, 0, 389, 203},
  };
  for (const Drag& drag : drags) {
    DragSplitter(drag.splitter, drag.x, drag.y, client, 96, splitters);
    EXPECT_EQ(splitters.leftPaneWidth, drag.expectedLeft) << drag.x << "," << drag.y;
    EXPECT_EQ(splitters.topRightHeight, drag.expectedTop) << drag.x << "," << drag.y;
  }
  // The splitters are found where they were dragged to; the vertical one
  // spans the content height, the horizontal one only the right pane.
  EXPECT_EQ(HitTestSplitters(client, 96, splitters, 400, 600), Splitter::Vertical);
  EXPECT_EQ(HitTestSplitters(client, 96, splitters, 900, 250), Splitter::Horizontal);
  EXPECT_EQ(HitTestSplitters(client, 96, splitters, 200, 250), Splitter::None);
  EXPECT_EQ(HitTestSplitters(client, 96, splitters, 400, 20), Splitter::None);
  EXPECT_EQ(HitTestSplitters(client, 96, splitters, 1258, 250), Splitter::None);

  // Dragged all the way right, then the window narrows: the left pane gives
  // way so the right pane keeps its minimum.
  DragSplitter(Splitter::Vertical, 5000, 300, client, 96, splitters);
  const MainWindowLayout wide = LayOutMainWindow(client, 96, MinimumButtons(96), splitters);
  const MainWindowLayout narrow =
      LayOutMainWindow({800, 681, 24}, 96, MinimumButtons(96), splitters);
  EXPECT_EQ(narrow.filesList.width, wide.filesList.width);
  EXPECT_EQ(splitters.leftPaneWidth, 914 - (1264 - 800));
}

TEST(MainWindowLayoutTest, SplittersKeepTheirProportionAcrossADpiChange) {
  SplitterPositions splitters;
  LayOutMainWindow({1264, 681, 24}, 96, MinimumButtons(96), splitters);
  RescaleSplitters(splitters, 96, 144);
  EXPECT_EQ(splitters.leftPaneWidth, 926);
  EXPECT_EQ(splitters.topRightHeight, 449);
  RescaleSplitters(splitters, 144, 144);
  EXPECT_EQ(splitters.leftPaneWidth, 926);
}

}  // namespace
}  // namespace ombrix::ui
