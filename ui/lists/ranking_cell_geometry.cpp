#include "ui/lists/ranking_cell_geometry.h"

#include <algorithm>
#include <cmath>

#include "ui/common/dpi_scaling.h"

namespace ombrix::ui {
namespace {

constexpr int kIndentPerLevel = 18;
constexpr int kExpanderGap = 6;
constexpr int kExpanderSize = 11;
constexpr int kExpanderSignInset = 3;
constexpr int kIconWidth = 16;
constexpr int kIconHeight = 13;
constexpr int kTextGap = 6;
constexpr int kTextEndInset = 4;
constexpr int kMarkerOffsetX = 8;
constexpr int kMarkerOffsetY = 5;
constexpr int kMarkerSize = 11;
constexpr int kShareBarInset = 4;
constexpr int kShareTextInset = 6;
constexpr int kHeaderTextInset = 8;

int CentredTop(const PixelRect& cell, int height) { return cell.top + (cell.height - height) / 2; }

PixelRect Shrunk(const PixelRect& rect, int by) {
  return PixelRect{rect.left + by, rect.top + by, std::max(rect.width - 2 * by, 0),
                   std::max(rect.height - 2 * by, 0)};
}

}  // namespace

TreeCellLayout LayOutTreeCell(const PixelRect& cell, std::uint32_t depth, bool expandable,
                              std::uint32_t dpi) {
  const int indent = ScaleForDpi(kIndentPerLevel, dpi) * static_cast<int>(depth);
  const int box = ScaleForDpi(kExpanderSize, dpi);
  const int gap = ScaleForDpi(kExpanderGap, dpi);
  TreeCellLayout layout;
  int iconLeft;
  if (expandable) {
    layout.hasExpander = true;
    layout.expanderBox = PixelRect{cell.left + indent + gap, CentredTop(cell, box), box, box};
    iconLeft = layout.expanderBox.right() + gap;
  } else {
    // Rows without a box keep their icon in the column of the boxed rows'
    // icons; the first gap stays at its 96-DPI width, as the rows of every
    // earlier release were drawn.
    iconLeft = cell.left + indent + kExpanderGap + gap + box;
  }
  const int iconHeight = ScaleForDpi(kIconHeight, dpi);
  layout.icon =
      PixelRect{iconLeft, CentredTop(cell, iconHeight), ScaleForDpi(kIconWidth, dpi), iconHeight};
  const int marker = ScaleForDpi(kMarkerSize, dpi);
  layout.systemMarker = PixelRect{layout.icon.left + ScaleForDpi(kMarkerOffsetX, dpi),
                                  layout.icon.top + ScaleForDpi(kMarkerOffsetY, dpi), marker,
                                  marker};
  const int textLeft = layout.icon.right() + ScaleForDpi(kTextGap, dpi);
  const int textRight = cell.right() - ScaleForDpi(kTextEndInset, dpi);
  layout.text = PixelRect{textLeft, cell.top, std::max(textRight - textLeft, 0), cell.height};
  return layout;
}

ExpanderSigns ExpanderSignsFor(const PixelRect& box, std::uint32_t dpi) {
  const int inset = ScaleForDpi(kExpanderSignInset, dpi);
  const int thickness = std::max(ScaleForDpi(1, dpi), 1);
  const int middleY = box.top + (box.height - thickness) / 2;
  const int middleX = box.left + (box.width - thickness) / 2;
  return ExpanderSigns{
      PixelRect{box.left + inset, middleY, std::max(box.width - 2 * inset, 0), thickness},
      PixelRect{middleX, box.top + inset, thickness, std::max(box.height - 2 * inset, 0)}};
}

FolderIconParts FolderIconPartsFor(const PixelRect& icon, std::uint32_t dpi) {
  const int x = icon.left;
  const int y = icon.top;
  const int tabLeft = x + ScaleForDpi(2, dpi);
  const int bodyTop = y + ScaleForDpi(3, dpi);
  return FolderIconParts{
      PixelRect{tabLeft, y, x + ScaleForDpi(10, dpi) - tabLeft, ScaleForDpi(5, dpi)},
      PixelRect{x, bodyTop, ScaleForDpi(16, dpi), icon.bottom() - bodyTop}};
}

FilePageParts FilePagePartsFor(const PixelRect& icon, std::uint32_t dpi) {
  const int x = icon.left;
  const int y = icon.top;
  const int pageLeft = x + ScaleForDpi(2, dpi);
  FilePageParts parts{};
  parts.page = PixelRect{pageLeft, y, x + ScaleForDpi(15, dpi) - pageLeft, ScaleForDpi(15, dpi)};
  const int foldX = x + ScaleForDpi(11, dpi);
  const int foldBottom = y + ScaleForDpi(4, dpi);
  const int pageRight = x + ScaleForDpi(15, dpi);
  parts.cornerX[0] = foldX;
  parts.cornerY[0] = y;
  parts.cornerX[1] = pageRight;
  parts.cornerY[1] = foldBottom;
  parts.cornerX[2] = foldX;
  parts.cornerY[2] = foldBottom;
  return parts;
}

SystemMarkerParts SystemMarkerPartsFor(const PixelRect& marker, std::uint32_t dpi) {
  // A regular-looking octagon: each corner cut by about 30 % of the side.
  const int size = marker.width;
  const int cut = std::max(static_cast<int>(std::lround(size * 0.3)), 1);
  const int x = marker.left;
  const int y = marker.top;
  const int far = size - 1;
  SystemMarkerParts parts{};
  const int xs[8] = {cut, far - cut, far, far, far - cut, cut, 0, 0};
  const int ys[8] = {0, 0, cut, far - cut, far, far, far - cut, cut};
  for (int i = 0; i < 8; ++i) {
    parts.cornerX[i] = x + xs[i];
    parts.cornerY[i] = y + ys[i];
  }
  const int one = ScaleForDpi(1, dpi);
  const int ten = ScaleForDpi(10, dpi);
  const int five = ScaleForDpi(5, dpi);
  const int thickness = std::max(one, 1);
  parts.crossVertical = PixelRect{x + five, y + one, thickness, ten - one};
  parts.crossHorizontal = PixelRect{x + one, y + five, ten - one, thickness};
  return parts;
}

ShareBarLayout LayOutShareBar(const PixelRect& cell, double sharePercent, std::uint32_t dpi) {
  ShareBarLayout layout;
  layout.track = Shrunk(cell, ScaleForDpi(kShareBarInset, dpi));
  // NaN fails both comparisons and would survive std::clamp.
  const double clamped =
      sharePercent > 0.0 ? (sharePercent < 100.0 ? sharePercent : 100.0) : 0.0;
  const int filledWidth = static_cast<int>(layout.track.width * clamped / 100.0);
  layout.filled = PixelRect{layout.track.left, layout.track.top, filledWidth, layout.track.height};
  const int textInset = ScaleForDpi(kShareTextInset, dpi);
  layout.text = PixelRect{cell.left + textInset, cell.top, std::max(cell.width - 2 * textInset, 0),
                          cell.height};
  return layout;
}

PixelRect HeaderTextRect(const PixelRect& item, std::uint32_t dpi) {
  const int inset = ScaleForDpi(kHeaderTextInset, dpi);
  return PixelRect{item.left + inset, item.top, std::max(item.width - 2 * inset, 0), item.height};
}

}  // namespace ombrix::ui
