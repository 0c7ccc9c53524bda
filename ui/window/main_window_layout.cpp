#include "ui/window/main_window_layout.h"

#include <algorithm>

#include "ui/common/dpi_scaling.h"

namespace ombrix::ui {
namespace {

// 96-DPI constants of the arrangement.
constexpr int kMargin = 8;
constexpr int kSplitterThickness = 6;
constexpr int kToolRowHeight = 28;
constexpr int kSelectorDropDownHeight = 180;
constexpr int kSelectorMinWidth = 300;
constexpr int kSelectorMaxWidth = 460;
constexpr int kContentTop = 36;
constexpr int kLeftPaneMinWidth = 180;
constexpr int kRightPaneMinWidth = 320;
constexpr int kRightListMinHeight = 120;
constexpr int kFindBoxHeight = 24;
constexpr int kFindBoxGap = 6;
// Open sits apart from the scan buttons: its gap is this many margins.
constexpr int kOpenButtonGapMargins = 5;

// The content area below the tool row, scaled.
struct Content {
  int margin;
  int splitter;
  int top;
  int height;
  // Height the two right-hand lists share (the splitter taken out).
  int rightAvailable;
};

Content ContentFor(ClientSize client, std::uint32_t dpi) {
  Content content{};
  content.margin = ScaleForDpi(kMargin, dpi);
  content.splitter = ScaleForDpi(kSplitterThickness, dpi);
  content.top = ScaleForDpi(kContentTop, dpi) + content.margin;
  content.height =
      std::max(client.height - content.margin - client.statusBarHeight - content.top, 0);
  content.rightAvailable = std::max(content.height - content.splitter, 0);
  return content;
}

int LeftPaneUpperBound(ClientSize client, const Content& content, std::uint32_t dpi) {
  const int minimum = ScaleForDpi(kLeftPaneMinWidth, dpi);
  return std::max(minimum, client.width - 3 * content.margin -
                               ScaleForDpi(kRightPaneMinWidth, dpi) - content.splitter);
}

int ClampLeftPane(int width, ClientSize client, const Content& content, std::uint32_t dpi) {
  return std::clamp(width, ScaleForDpi(kLeftPaneMinWidth, dpi),
                    LeftPaneUpperBound(client, content, dpi));
}

int ClampTopRight(int height, const Content& content, std::uint32_t dpi) {
  const int minimum = ScaleForDpi(kRightListMinHeight, dpi);
  return std::clamp(height, minimum, std::max(minimum, content.rightAvailable - minimum));
}

int RightPaneLeft(const Content& content, const SplitterPositions& splitters) {
  return 2 * content.margin + splitters.leftPaneWidth + content.splitter;
}

SplitterRects RectsFor(ClientSize client, const Content& content,
                       const SplitterPositions& splitters) {
  SplitterRects rects;
  rects.vertical = PixelRect{content.margin + splitters.leftPaneWidth, content.top,
                             content.splitter, content.height};
  const int rightLeft = RightPaneLeft(content, splitters);
  rects.horizontal =
      PixelRect{rightLeft, content.top + splitters.topRightHeight,
                std::max(client.width - content.margin - rightLeft, 0), content.splitter};
  return rects;
}

}  // namespace

int ToolButtonWidth(int minimumWidth96, int captionWidth, std::uint32_t dpi) {
  return std::max(ScaleForDpi(minimumWidth96, dpi),
                  captionWidth + ScaleForDpi(kToolButtonCaptionPadding, dpi));
}

MainWindowLayout LayOutMainWindow(ClientSize client, std::uint32_t dpi,
                                  const ToolButtonWidths& buttons, SplitterPositions& splitters) {
  const Content content = ContentFor(client, dpi);
  const int m = content.margin;
  const int g = content.splitter;
  const int rowHeight = ScaleForDpi(kToolRowHeight, dpi);
  MainWindowLayout layout;

  const int selectorSpace =
      client.width - 10 * m - (buttons.folder + buttons.scan + buttons.cancel + buttons.open);
  const int selectorWidth = std::min(ScaleForDpi(kSelectorMaxWidth, dpi),
                                     std::max(ScaleForDpi(kSelectorMinWidth, dpi), selectorSpace));
  layout.selector = PixelRect{m, m, selectorWidth, ScaleForDpi(kSelectorDropDownHeight, dpi)};
  int x = layout.selector.right() + m;
  layout.folderButton = PixelRect{x, m, buttons.folder, rowHeight};
  x = layout.folderButton.right() + m;
  layout.scanButton = PixelRect{x, m, buttons.scan, rowHeight};
  x = layout.scanButton.right() + m;
  layout.cancelButton = PixelRect{x, m, buttons.cancel, rowHeight};
  x = layout.cancelButton.right() + kOpenButtonGapMargins * m;
  layout.openButton = PixelRect{x, m, buttons.open, rowHeight};

  if (!splitters.leftPaneWidthSet) {
    splitters.leftPaneWidth =
        std::max(ScaleForDpi(kLeftPaneMinWidth, dpi), (client.width - 3 * m - g) / 2);
    splitters.leftPaneWidthSet = true;
  }
  splitters.leftPaneWidth = ClampLeftPane(splitters.leftPaneWidth, client, content, dpi);
  if (!splitters.topRightHeightSet) {
    splitters.topRightHeight = content.rightAvailable / 2;
    splitters.topRightHeightSet = true;
  }
  splitters.topRightHeight = ClampTopRight(splitters.topRightHeight, content, dpi);

  const int rightLeft = RightPaneLeft(content, splitters);
  const int rightWidth = std::max(client.width - m - rightLeft, 0);
  const int findBoxHeight = std::min(ScaleForDpi(kFindBoxHeight, dpi), content.height);
  const int foldersTop =
      std::min(content.top + findBoxHeight + ScaleForDpi(kFindBoxGap, dpi),
               content.top + content.height);
  layout.findBox = PixelRect{m, content.top, splitters.leftPaneWidth, findBoxHeight};
  layout.foldersList = PixelRect{m, foldersTop, splitters.leftPaneWidth,
                                 content.top + content.height - foldersTop};
  layout.filesList = PixelRect{rightLeft, content.top, rightWidth, splitters.topRightHeight};
  layout.subfoldersList =
      PixelRect{rightLeft, content.top + splitters.topRightHeight + g, rightWidth,
                std::max(content.rightAvailable - splitters.topRightHeight, 0)};
  layout.splitters = RectsFor(client, content, splitters);
  return layout;
}

SplitterRects SplitterRectsFor(ClientSize client, std::uint32_t dpi,
                               const SplitterPositions& splitters) {
  return RectsFor(client, ContentFor(client, dpi), splitters);
}

Splitter HitTestSplitters(ClientSize client, std::uint32_t dpi, const SplitterPositions& splitters,
                          int x, int y) {
  const SplitterRects rects = SplitterRectsFor(client, dpi, splitters);
  if (rects.vertical.Contains(x, y)) return Splitter::Vertical;
  if (rects.horizontal.Contains(x, y)) return Splitter::Horizontal;
  return Splitter::None;
}

void DragSplitter(Splitter splitter, int mouseX, int mouseY, ClientSize client, std::uint32_t dpi,
                  SplitterPositions& splitters) {
  const Content content = ContentFor(client, dpi);
  if (splitter == Splitter::Vertical) {
    splitters.leftPaneWidth =
        ClampLeftPane(mouseX - content.splitter / 2 - content.margin, client, content, dpi);
  } else if (splitter == Splitter::Horizontal) {
    splitters.topRightHeight =
        ClampTopRight(mouseY - content.splitter / 2 - content.top, content, dpi);
  }
}

void RescaleSplitters(SplitterPositions& splitters, std::uint32_t oldDpi, std::uint32_t newDpi) {
  if (oldDpi == newDpi || oldDpi == 0) return;
  splitters.leftPaneWidth =
      MulDivRounded(splitters.leftPaneWidth, static_cast<int>(newDpi), static_cast<int>(oldDpi));
  splitters.topRightHeight =
      MulDivRounded(splitters.topRightHeight, static_cast<int>(newDpi), static_cast<int>(oldDpi));
}

}  // namespace ombrix::ui
