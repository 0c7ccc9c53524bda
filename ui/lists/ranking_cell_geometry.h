// Where the owner-drawn parts of the lists go, in a cell's pixels: the
// tree cell of the Folders list (indentation, expander box, icon, system
// marker, name) and the share bar. Constants are at 96 DPI and scaled
// here, so the drawing code and the click on an expander box agree on
// every pixel.
#pragma once

#include <cstdint>

#include "ui/common/pixel_rect.h"

namespace ombrix::ui {

struct TreeCellLayout {
  // Only for a folder with children; empty otherwise.
  PixelRect expanderBox;
  bool hasExpander = false;
  // The icon's box; a folder's tab and body and a file's page are placed
  // from its top-left corner (FolderIconParts, FilePageParts).
  PixelRect icon;
  // Top-left corner of the system marker's square.
  PixelRect systemMarker;
  PixelRect text;
};

TreeCellLayout LayOutTreeCell(const PixelRect& cell, std::uint32_t depth, bool expandable,
                              std::uint32_t dpi);

// The horizontal bar of the expander box (a minus) and the vertical one
// that makes it a plus, each one pixel thick.
struct ExpanderSigns {
  PixelRect minus;
  PixelRect plusStroke;
};
ExpanderSigns ExpanderSignsFor(const PixelRect& box, std::uint32_t dpi);

struct FolderIconParts {
  PixelRect tab;
  PixelRect body;
};
FolderIconParts FolderIconPartsFor(const PixelRect& icon, std::uint32_t dpi);

struct FilePageParts {
  PixelRect page;
  // The folded corner, a right triangle: its three corners.
  int cornerX[3];
  int cornerY[3];
};
FilePageParts FilePagePartsFor(const PixelRect& icon, std::uint32_t dpi);

// The red octagon's eight corners inside the marker square, and the white
// cross through its centre.
struct SystemMarkerParts {
  int cornerX[8];
  int cornerY[8];
  PixelRect crossVertical;
  PixelRect crossHorizontal;
};
SystemMarkerParts SystemMarkerPartsFor(const PixelRect& marker, std::uint32_t dpi);

struct ShareBarLayout {
  PixelRect track;  // the cell less its inset
  PixelRect filled;
  PixelRect text;
};

// The bar's length follows the share clamped to 0..100 (a damaged tree
// can hold a child larger than its parent); the text shows it unclamped.
ShareBarLayout LayOutShareBar(const PixelRect& cell, double sharePercent, std::uint32_t dpi);

// A header item's caption box.
PixelRect HeaderTextRect(const PixelRect& item, std::uint32_t dpi);

}  // namespace ombrix::ui
