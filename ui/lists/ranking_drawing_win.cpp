#include "ui/lists/ranking_drawing_win.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/ranking/row_texts.h"
#include "base/win/wide_string_win.h"
#include "ui/common/dpi_scaling.h"
#include "ui/lists/ranking_cell_geometry.h"
#include "ui/lists/ranking_cells_win.h"
#include "ui/common/solid_fill_win.h"

namespace ombrix::ui {
namespace {

constexpr UINT_PTR kHeaderSubclassId = 1;
constexpr int kHeaderTextMax = 256;
// A plain cell's text keeps this far (96 DPI) from the cell's sides.
constexpr int kTextCellInset = 6;

// The fixed colours of the icons and the system marker (not the palette's).
struct IconColours {
  COLORREF folderFill;
  COLORREF folderOutline;
  COLORREF pageFill;
};
constexpr IconColours kLightIcons{RGB(255, 205, 55), RGB(184, 128, 0), RGB(255, 255, 255)};
constexpr IconColours kDarkIcons{RGB(217, 177, 74), RGB(153, 112, 34), RGB(52, 58, 68)};
constexpr COLORREF kMarkerFill = RGB(220, 38, 38);
constexpr COLORREF kMarkerOutline = RGB(120, 18, 18);
constexpr COLORREF kMarkerCross = RGB(255, 255, 255);

RECT ToRect(const PixelRect& rect) { return RECT{rect.left, rect.top, rect.right(), rect.bottom()}; }

void Fill(HDC dc, const PixelRect& rect, COLORREF colour) { FillSolid(dc, rect, colour); }

// A rectangle filled and outlined `thickness` pixels wide.
void Box(HDC dc, const PixelRect& rect, COLORREF fill, COLORREF outline, int thickness) {
  Fill(dc, rect, outline);
  Fill(dc,
       PixelRect{rect.left + thickness, rect.top + thickness, rect.width - 2 * thickness,
                 rect.height - 2 * thickness},
       fill);
}

void Polygon(HDC dc, const int* xs, const int* ys, int count, COLORREF fill, COLORREF outline,
             int thickness) {
  POINT points[8];
  for (int i = 0; i < count; ++i) points[i] = POINT{xs[i], ys[i]};
  const HPEN pen = ::CreatePen(PS_SOLID, thickness, outline);
  const HGDIOBJ oldPen = ::SelectObject(dc, pen);
  const HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(DC_BRUSH));
  ::SetDCBrushColor(dc, fill);
  ::Polygon(dc, points, count);
  ::SelectObject(dc, oldBrush);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(pen);
}

void Text(HDC dc, const std::u16string& text, const PixelRect& rect, COLORREF colour, UINT align) {
  RECT area = ToRect(rect);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, colour);
  ::DrawTextW(dc, base::WideView(text), static_cast<int>(text.size()), &area,
              align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

bool RowSelected(HWND list, int row) {
  return (::SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

double RowShare(const MainWindowState& state, RankingListKind kind, int row) {
  const auto index = static_cast<std::size_t>(row);
  const app::FolderRankingModel& model = state.ranking;
  switch (kind) {
    case RankingListKind::Folders:
      return index < model.treeRows.size() ? model.ShareOf(model.treeRows[index].node, core::kNoNode)
                                           : 0.0;
    case RankingListKind::Files:
      return index < model.fileRows.size() ? model.fileRows[index].share : 0.0;
    case RankingListKind::Subfolders:
      return index < model.subfolderRows.size() ? model.subfolderRows[index].share : 0.0;
  }
  return 0.0;
}

void DrawShareBar(MainWindowState& state, RankingListKind kind, HDC dc, int row,
                  const PixelRect& cell, bool selected) {
  DrawShareBarCell(state, dc, cell, RowShare(state, kind, row),
                   RankingCellText(state, kind, row, ShareColumnOf(kind)), selected);
}

void DrawTextCell(MainWindowState& state, RankingListKind kind, HDC dc, int row, int column,
                  const PixelRect& cell, bool selected) {
  const auto columns = ColumnsOf(kind);
  const auto index = static_cast<std::size_t>(column);
  const bool right = index < columns.size() && columns[index].alignment == ColumnAlignment::Right;
  DrawPlainCell(state, dc, cell, RankingCellText(state, kind, row, column),
                right ? ColumnAlignment::Right : ColumnAlignment::Left, selected);
}

void DrawFolderIcon(HDC dc, const PixelRect& icon, std::uint32_t dpi, const IconColours& colours) {
  const FolderIconParts parts = FolderIconPartsFor(icon, dpi);
  const int line = ScaleForDpi(1, dpi);
  Box(dc, parts.tab, colours.folderFill, colours.folderOutline, line);
  Box(dc, parts.body, colours.folderFill, colours.folderOutline, line);
}

void DrawFileIcon(HDC dc, const PixelRect& icon, std::uint32_t dpi, const IconColours& colours,
                  const i18n::ThemePalette& palette) {
  const FilePageParts parts = FilePagePartsFor(icon, dpi);
  const int line = ScaleForDpi(1, dpi);
  Box(dc, parts.page, colours.pageFill, palette.border, line);
  Polygon(dc, parts.cornerX, parts.cornerY, 3, palette.headerBackground, palette.border, line);
}

void DrawSystemMarker(HDC dc, const PixelRect& marker, std::uint32_t dpi) {
  const SystemMarkerParts parts = SystemMarkerPartsFor(marker, dpi);
  Polygon(dc, parts.cornerX, parts.cornerY, 8, kMarkerFill, kMarkerOutline, ScaleForDpi(1, dpi));
  Fill(dc, parts.crossVertical, kMarkerCross);
  Fill(dc, parts.crossHorizontal, kMarkerCross);
}

// Halfway between the text and the background: what is gone reads as
// faded in every theme.
COLORREF FadedText(const i18n::ThemePalette& palette) {
  const auto mix = [&](int shift) {
    return ((((palette.text >> shift) & 0xFF) + ((palette.cellBackground >> shift) & 0xFF)) / 2)
           << shift;
  };
  return mix(0) | mix(8) | mix(16);
}

// A file or folder of the compared scan that is gone: its icon and name,
// faded, where its row would have been.
void DrawDeletedTreeCell(MainWindowState& state, HDC dc, int row, const PixelRect& cell,
                         bool selected) {
  const app::FolderRankingModel& model = state.ranking;
  const app::TreeRow treeRow = model.treeRows[static_cast<std::size_t>(row)];
  const app::ShownComparison* comparison = model.Comparison();
  const app::DeletedNode* deleted =
      comparison != nullptr ? comparison->Deleted(treeRow.deleted) : nullptr;
  if (deleted == nullptr) return;
  const i18n::ThemePalette& palette = state.palette;
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, cell.left, cell.top, cell.right(), cell.bottom());
  Fill(dc, cell, selected ? palette.selectedBackground : palette.cellBackground);
  const TreeCellLayout layout = LayOutTreeCell(cell, treeRow.depth, false, state.dpi);
  const IconColours& colours = palette.isDark ? kDarkIcons : kLightIcons;
  if (deleted->isDirectory) {
    DrawFolderIcon(dc, layout.icon, state.dpi, colours);
  } else {
    DrawFileIcon(dc, layout.icon, state.dpi, colours, palette);
  }
  Text(dc, RankingCellText(state, RankingListKind::Folders, row, 0), layout.text,
       selected ? palette.selectedText : FadedText(palette), DT_LEFT);
  ::RestoreDC(dc, saved);
}

void DrawTreeCell(MainWindowState& state, HDC dc, int row, const PixelRect& cell, bool selected) {
  const app::FolderRankingModel& model = state.ranking;
  const auto index = static_cast<std::size_t>(row);
  if (index >= model.treeRows.size()) return;
  const app::TreeRow treeRow = model.treeRows[index];
  if (treeRow.deleted != core::kNoNode) {
    DrawDeletedTreeCell(state, dc, row, cell, selected);
    return;
  }
  const auto& nodes = model.Result().nodes;
  if (treeRow.node >= nodes.size()) return;
  const core::ScanNode node = nodes[treeRow.node];
  const i18n::ThemePalette& palette = state.palette;
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, cell.left, cell.top, cell.right(), cell.bottom());
  Fill(dc, cell, selected ? palette.selectedBackground : palette.cellBackground);
  const bool expandable = model.IsExpandable(treeRow.node);
  const TreeCellLayout layout = LayOutTreeCell(cell, treeRow.depth, expandable, state.dpi);
  if (layout.hasExpander) {
    Box(dc, layout.expanderBox, palette.cellBackground, palette.border, ScaleForDpi(1, state.dpi));
    const ExpanderSigns signs = ExpanderSignsFor(layout.expanderBox, state.dpi);
    Fill(dc, signs.minus, palette.text);
    if (model.expandedNodes.count(treeRow.node) == 0) Fill(dc, signs.plusStroke, palette.text);
  }
  const IconColours& colours = palette.isDark ? kDarkIcons : kLightIcons;
  if (node.IsDirectory()) {
    DrawFolderIcon(dc, layout.icon, state.dpi, colours);
  } else {
    DrawFileIcon(dc, layout.icon, state.dpi, colours, palette);
  }
  const bool system = (node.Attributes() & core::kAttributeSystem) != 0;
  if (system) DrawSystemMarker(dc, layout.systemMarker, state.dpi);
  const COLORREF textColour = selected ? palette.selectedText
                              : system ? palette.systemItemText
                                       : palette.text;
  Text(dc, RankingCellText(state, RankingListKind::Folders, row, 0), layout.text, textColour,
       DT_LEFT);
  ::RestoreDC(dc, saved);
}

LRESULT DrawHeaderItem(MainWindowState& state, NMCUSTOMDRAW& draw) {
  switch (draw.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      break;
    default:
      return CDRF_DODEFAULT;
  }
  const HWND header = draw.hdr.hwndFrom;
  const HDC dc = draw.hdc;
  const PixelRect item{draw.rc.left, draw.rc.top, draw.rc.right - draw.rc.left,
                       draw.rc.bottom - draw.rc.top};
  const i18n::ThemePalette& palette = state.palette;
  const int line = ScaleForDpi(1, state.dpi);
  Fill(dc, item, palette.headerBackground);
  Fill(dc, PixelRect{item.left, item.bottom() - line, item.width, line}, palette.border);
  Fill(dc, PixelRect{item.right() - line, item.top, line, item.height}, palette.border);
  wchar_t text[kHeaderTextMax + 1] = {};
  HDITEMW info{};
  info.mask = HDI_TEXT | HDI_FORMAT;
  info.pszText = text;
  info.cchTextMax = kHeaderTextMax;
  ::SendMessageW(header, HDM_GETITEMW, draw.dwItemSpec, reinterpret_cast<LPARAM>(&info));
  const UINT align = (info.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT    ? DT_RIGHT
                     : (info.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER
                                                                  : DT_LEFT;
  const HGDIOBJ oldFont = ::SelectObject(dc, state.font.get());
  Text(dc, base::FromWide(text), HeaderTextRect(item, state.dpi), palette.text, align);
  ::SelectObject(dc, oldFont);
  return CDRF_SKIPDEFAULT;
}

// The part of the header right of the last column is painted by the header
// itself in the system's colour; it is filled with the header colour here,
// into the header's own drawing context: the lists are double-buffered, and
// whatever went straight to the screen would be covered by the buffer.
void PaintHeaderRest(MainWindowState& state, HWND header, HDC dc) {
  const int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  RECT client{};
  ::GetClientRect(header, &client);
  int right = 0;
  if (count > 0) {
    // The last column shown, which need not be the last added: the lists
    // show their Change column, added last, beside the share.
    const auto lastShown = ::SendMessageW(header, HDM_ORDERTOINDEX, count - 1, 0);
    RECT last{};
    ::SendMessageW(header, HDM_GETITEMRECT, lastShown, reinterpret_cast<LPARAM>(&last));
    right = last.right;
  }
  if (right >= client.right) return;
  Fill(dc, PixelRect{right, 0, client.right - right, client.bottom}, state.palette.headerBackground);
  const int line = ScaleForDpi(1, state.dpi);
  Fill(dc, PixelRect{right, client.bottom - line, client.right - right, line}, state.palette.border);
}

LRESULT CALLBACK HeaderOwnerProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR reference) {
  auto* state = reinterpret_cast<MainWindowState*>(reference);
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == NM_CUSTOMDRAW &&
        header->hwndFrom == reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0))) {
      auto* draw = reinterpret_cast<NMCUSTOMDRAW*>(lParam);
      if (draw->dwDrawStage == CDDS_POSTPAINT) {
        PaintHeaderRest(*state, header->hwndFrom, draw->hdc);
        return CDRF_DODEFAULT;
      }
      LRESULT answer = DrawHeaderItem(*state, *draw);
      if (draw->dwDrawStage == CDDS_PREPAINT) answer |= CDRF_NOTIFYPOSTPAINT;
      return answer;
    }
  } else if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(list, HeaderOwnerProcedure, kHeaderSubclassId);
  }
  return ::DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

void DrawShareBarCell(const MainWindowState& state, HDC dc, const PixelRect& cell, double share,
                      const std::u16string& text, bool selected) {
  const i18n::ThemePalette& palette = state.palette;
  Fill(dc, cell, selected ? palette.selectedBackground : palette.cellBackground);
  const ShareBarLayout bar = LayOutShareBar(cell, share, state.dpi);
  Fill(dc, bar.filled, selected ? palette.selectedBar : palette.bar);
  Text(dc, text, bar.text, selected ? palette.selectedText : palette.text, DT_RIGHT);
}

void DrawPlainCell(const MainWindowState& state, HDC dc, const PixelRect& cell,
                   const std::u16string& text, ColumnAlignment alignment, bool selected) {
  const i18n::ThemePalette& palette = state.palette;
  Fill(dc, cell, selected ? palette.selectedBackground : palette.cellBackground);
  const int inset = ScaleForDpi(kTextCellInset, state.dpi);
  const PixelRect area{cell.left + inset, cell.top, cell.width - 2 * inset, cell.height};
  Text(dc, text, area, selected ? palette.selectedText : palette.text,
       alignment == ColumnAlignment::Right ? DT_RIGHT : DT_LEFT);
}

LRESULT DrawRankingListItem(MainWindowState& state, RankingListKind kind, NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      // Every cell is drawn here in the palette's colours, selected rows in
      // its selection colours; the control is not to paint its own
      // highlight or its hot-tracking glow under the mouse.
      draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS | CDIS_HOT);
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      break;
    default:
      return CDRF_DODEFAULT;
  }
  const int row = static_cast<int>(draw.nmcd.dwItemSpec);
  const int column = draw.iSubItem;
  const bool shareCell = column == ShareColumnOf(kind);
  const bool treeCell = kind == RankingListKind::Folders && column == 0;
  const HWND list = draw.nmcd.hdr.hwndFrom;
  const bool selected = RowSelected(list, row);
  // The plain cells too: left to the control, a row under the mouse would be
  // half in its hot-tracking colours and half in the palette's.
  const PixelRect cell = ListCellRect(list, row, column);
  if (shareCell) {
    DrawShareBar(state, kind, draw.nmcd.hdc, row, cell, selected);
  } else if (treeCell) {
    DrawTreeCell(state, draw.nmcd.hdc, row, cell, selected);
  } else {
    DrawTextCell(state, kind, draw.nmcd.hdc, row, column, cell, selected);
  }
  return CDRF_SKIPDEFAULT;
}

void InstallHeaderPainting(MainWindowState& state, HWND list) {
  ::SetWindowSubclass(list, HeaderOwnerProcedure, kHeaderSubclassId,
                      reinterpret_cast<DWORD_PTR>(&state));
}

}  // namespace ombrix::ui
