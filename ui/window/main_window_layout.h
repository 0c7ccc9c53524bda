// Where the main window's children go: the tool row (selector and four
// buttons), the find box above the Folders list on the left, Files above Subfolders on the
// right, and the two splitters between them. Pure arithmetic on the client
// size and the DPI; every constant is written at 96 DPI and scaled here.
// The window keeps the splitter positions between layouts (they survive
// resizes and are rescaled on DPI changes, never saved).
#pragma once

#include <cstdint>

#include "ui/common/pixel_rect.h"

namespace ombrix::ui {

struct ClientSize {
  int width = 0;
  int height = 0;
  // The status bar docked at the bottom edge: its height follows its font
  // (Windows' text size), and the lists end a margin above it.
  int statusBarHeight = 0;
};

// Each tool button is at least this wide (96 DPI) and otherwise as wide as
// its caption plus kToolButtonCaptionPadding.
inline constexpr int kFolderButtonMinWidth = 112;
inline constexpr int kScanButtonMinWidth = 90;
inline constexpr int kCancelButtonMinWidth = 90;
inline constexpr int kOpenButtonMinWidth = 90;
inline constexpr int kToolButtonCaptionPadding = 34;

// captionWidth is measured in the button's font, so it is already in the
// window's pixels.
int ToolButtonWidth(int minimumWidth96, int captionWidth, std::uint32_t dpi);

struct ToolButtonWidths {
  int folder = 0;
  int scan = 0;
  int cancel = 0;
  int open = 0;
};

// Unset until the first layout, which splits the space evenly.
struct SplitterPositions {
  int leftPaneWidth = 0;
  bool leftPaneWidthSet = false;
  int topRightHeight = 0;
  bool topRightHeightSet = false;
};

// The values are the window's dragMode: 0 none, 1 vertical, 2 horizontal.
enum class Splitter : std::uint32_t {
  None = 0,
  Vertical = 1,    // between the Folders list and the right-hand lists
  Horizontal = 2,  // between the Files and the Subfolders lists
};

struct SplitterRects {
  PixelRect vertical;
  PixelRect horizontal;
};

struct MainWindowLayout {
  PixelRect selector;  // its height is the drop-down's
  PixelRect folderButton;
  PixelRect scanButton;
  PixelRect cancelButton;
  PixelRect openButton;
  PixelRect findBox;
  PixelRect foldersList;
  // The found files take the Files list's place while a find is shown.
  PixelRect filesList;
  PixelRect subfoldersList;
  SplitterRects splitters;
};

// Sets unset splitter positions, clamps both and stores them back. No
// width or height in the result is negative, however small the client.
MainWindowLayout LayOutMainWindow(ClientSize client, std::uint32_t dpi,
                                  const ToolButtonWidths& buttons, SplitterPositions& splitters);

SplitterRects SplitterRectsFor(ClientSize client, std::uint32_t dpi,
                               const SplitterPositions& splitters);

// The vertical splitter wins where both could be hit.
Splitter HitTestSplitters(ClientSize client, std::uint32_t dpi, const SplitterPositions& splitters,
                          int x, int y);

// Moves the dragged splitter so the mouse stays at its middle, within the
// limits that keep each pane usable; the caller lays out again.
void DragSplitter(Splitter splitter, int mouseX, int mouseY, ClientSize client, std::uint32_t dpi,
                  SplitterPositions& splitters);

// Keeps the splitters in proportion when the window moves to a monitor
// with another DPI.
void RescaleSplitters(SplitterPositions& splitters, std::uint32_t oldDpi, std::uint32_t newDpi);

}  // namespace ombrix::ui
