#include "ui/window/main_window_view_win.h"

#include <windows.h>

#include <commctrl.h>
#include <string>

#include "base/win/wide_string_win.h"
#include "ui/common/control_ids.h"
#include "ui/common/dpi_scaling.h"
#include "ui/window/main_window_layout.h"
#include "ui/window/menu_bar_win.h"
#include "ui/lists/ranking_lists_win.h"
#include "ui/common/solid_fill_win.h"
#include "ui/find/find_view_win.h"
#include "ui/find/types_view_win.h"
#include "ui/window/window_theme_win.h"

namespace ombrix::ui {
namespace {

// Virtual lists (LVS_OWNERDATA): the control holds a row count and asks for
// the texts of the rows it shows, so 100,000 rows are listed at once.
constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDATA;
constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kListExStyles = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER;
// Row height of the lists at 96 DPI.
constexpr int kListRowSpacing = 22;

struct ControlTemplate {
  const wchar_t* className;
  int id;
  DWORD style;
  DWORD exStyle;
  int width96;
  int height96;
  const char* captionKey;  // null for controls without a caption
  HWND MainWindowControls::*slot;
};

// In the order Tab visits them (the order of creation): the tool row left
// to right, then Folders, Files and Subfolders.
const ControlTemplate kControls[] = {
    {WC_COMBOBOXW, kSelectorId, WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, 0, 220, 200,
     nullptr, &MainWindowControls::selector},
    {WC_BUTTONW, kFolderButtonId, kButtonStyle, 0, 100, 28, "toolbar.folder",
     &MainWindowControls::folderButton},
    {WC_BUTTONW, kScanButtonId, kButtonStyle, 0, 90, 28, "toolbar.scan",
     &MainWindowControls::scanButton},
    {WC_BUTTONW, kCancelButtonId, kButtonStyle, 0, 90, 28, "toolbar.cancel",
     &MainWindowControls::cancelButton},
    {WC_BUTTONW, kOpenButtonId, kButtonStyle, 0, 90, 28, "toolbar.open",
     &MainWindowControls::openButton},
    {WC_LISTVIEWW, kFoldersListId, kListStyle, WS_EX_CLIENTEDGE, 300, 300, nullptr,
     &MainWindowControls::foldersList},
    {WC_LISTVIEWW, kFilesListId, kListStyle, WS_EX_CLIENTEDGE, 300, 300, nullptr,
     &MainWindowControls::filesList},
    {WC_LISTVIEWW, kSubfoldersListId, kListStyle, WS_EX_CLIENTEDGE, 300, 300, nullptr,
     &MainWindowControls::subfoldersList},
    {STATUSCLASSNAMEW, kStatusBarId, WS_CHILD | WS_VISIBLE, 0, 0, 0, nullptr,
     &MainWindowControls::statusBar},
};

std::u16string WindowText(HWND window) {
  std::u16string text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, u'\0');
  text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(window, base::WritableWide(text), static_cast<int>(text.size()))));
  return text;
}

int ButtonWidth(const MainWindowState& state, HWND button, int minimumWidth96) {
  const std::u16string caption = WindowText(button);
  return ToolButtonWidth(minimumWidth96,
                         TextWidth(button, state.font.get(), base::WideView(caption)), state.dpi);
}

void Place(HWND control, const PixelRect& rect) {
  ::MoveWindow(control, rect.left, rect.top, rect.width, rect.height, FALSE);
}


}  // namespace

void CreateMainWindowControls(MainWindowState& state) {
  for (const ControlTemplate& control : kControls) {
    const std::u16string caption = control.captionKey != nullptr
                                       ? state.language.Translate(control.captionKey)
                                       : std::u16string();
    state.controls.*control.slot = ::CreateWindowExW(
        control.exStyle, control.className, base::WideView(caption), control.style, 0, 0,
        ScaleForDpi(control.width96, state.dpi), ScaleForDpi(control.height96, state.dpi),
        state.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), state.instance,
        nullptr);
  }
  for (HWND list :
       {state.controls.foldersList, state.controls.filesList, state.controls.subfoldersList}) {
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, kListExStyles, kListExStyles);
  }
  CreateFindControls(state);
  CreateTypesControls(state);
}

void EnableInput(HWND control, bool enabled, HWND focusInstead) {
  // Windows leaves the focus nowhere when its control is disabled, and the
  // keyboard then does nothing until a click: it moves on first.
  if (!enabled && ::GetFocus() == control) ::SetFocus(focusInstead);
  ::EnableWindow(control, enabled ? TRUE : FALSE);
}

void RememberFocus(MainWindowState& state) {
  const HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(state.window, focus)) state.lastFocus = focus;
}

void RestoreFocus(MainWindowState& state) {
  HWND target = state.lastFocus;
  if (target == nullptr || !::IsWindow(target) || !::IsWindowEnabled(target)) {
    target = ::GetNextDlgTabItem(state.window, nullptr, FALSE);
  }
  if (target != nullptr) ::SetFocus(target);
}

void ApplyMainWindowFonts(MainWindowState& state) {
  ApplyFontToWindowTree(state.window, state.font.get());
  const LPARAM spacing = MAKELPARAM(0, ScaleForDpi(kListRowSpacing, state.dpi));
  for (HWND list : {state.controls.foldersList, state.controls.filesList,
                    state.controls.subfoldersList, state.controls.foundList,
                    state.controls.typesList}) {
    ::SendMessageW(list, LVM_SETICONSPACING, 0, spacing);
  }
}

void ArrangeMainWindow(MainWindowState& state) {
  const MainWindowControls& c = state.controls;
  // The status bar docks itself and takes the height its font needs; the
  // lists end above it, whatever that height is.
  ::SendMessageW(c.statusBar, WM_SIZE, 0, 0);
  RECT statusBar{};
  ::GetWindowRect(c.statusBar, &statusBar);
  state.client.statusBarHeight = statusBar.bottom - statusBar.top;
  const ToolButtonWidths buttons{ButtonWidth(state, c.folderButton, kFolderButtonMinWidth),
                                 ButtonWidth(state, c.scanButton, kScanButtonMinWidth),
                                 ButtonWidth(state, c.cancelButton, kCancelButtonMinWidth),
                                 ButtonWidth(state, c.openButton, kOpenButtonMinWidth)};
  const MainWindowLayout layout =
      LayOutMainWindow(state.client, state.dpi, buttons, state.splitters);
  Place(c.selector, layout.selector);
  Place(c.folderButton, layout.folderButton);
  Place(c.scanButton, layout.scanButton);
  Place(c.cancelButton, layout.cancelButton);
  Place(c.openButton, layout.openButton);
  Place(c.findBox, layout.findBox);
  Place(c.foldersList, layout.foldersList);
  Place(c.filesList, layout.filesList);
  Place(c.foundList, layout.filesList);
  Place(c.subfoldersList, layout.subfoldersList);
  Place(c.typesList, layout.subfoldersList);
  ::RedrawWindow(state.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void ApplyMainWindowTheme(MainWindowState& state) {
  const ThemedWindows windows{
      state.window,
      {state.controls.foldersList, state.controls.filesList, state.controls.subfoldersList},
      state.controls.statusBar};
  ApplyThemeToListView(state.controls.foundList, state.palette, SystemThemeFunctions());
  ApplyThemeToListView(state.controls.typesList, state.palette, SystemThemeFunctions());
  ApplyThemeToWindow(windows, state.palette, SystemThemeFunctions());
}

void RetextMainWindow(MainWindowState& state) {
  const struct {
    HWND button;
    const char* key;
  } captions[] = {{state.controls.scanButton, "toolbar.scan"},
                  {state.controls.cancelButton, "toolbar.cancel"},
                  {state.controls.folderButton, "toolbar.folder"},
                  {state.controls.openButton, "toolbar.open"}};
  for (const auto& caption : captions) {
    ::SetWindowTextW(caption.button, base::WideView(state.language.Translate(caption.key)));
  }
  InstallMenuBar(state);
  ArrangeMainWindow(state);
  RetextRankingColumns(state);
  ResetRankingColumnWidths(state);
  RetextFindControls(state);
  ResetFoundColumnWidths(state);
  RetextTypesControls(state);
  ResetTypeColumnWidths(state);
  // The rows' texts are made when the lists ask; a repaint asks again.
  for (HWND list :
       {state.controls.foldersList, state.controls.filesList, state.controls.subfoldersList}) {
    ::InvalidateRect(list, nullptr, TRUE);
  }
}

HBRUSH WindowBackgroundBrush(const MainWindowState& state, HDC dc) {
  ::SetDCBrushColor(dc, state.palette.windowBackground);
  return static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
}

void PaintMainWindow(const MainWindowState& state, HDC dc) {
  RECT client{};
  ::GetClientRect(state.window, &client);
  FillSolid(dc, PixelRect{0, 0, client.right, client.bottom}, state.palette.windowBackground);
  if (!state.splitters.leftPaneWidthSet) return;
  const SplitterRects splitters = SplitterRectsFor(state.client, state.dpi, state.splitters);
  // The line runs through the middle of the splitter's thickness.
  const int middle = splitters.vertical.width / 2;
  FillSolid(dc, splitters.vertical, state.palette.splitter);
  FillSolid(dc, splitters.horizontal, state.palette.splitter);
  FillSolid(dc,
            PixelRect{splitters.vertical.left + middle, splitters.vertical.top, 1,
                      splitters.vertical.height},
            state.palette.splitterLine);
  FillSolid(dc,
            PixelRect{splitters.horizontal.left, splitters.horizontal.top + middle,
                      splitters.horizontal.width, 1},
            state.palette.splitterLine);
}

}  // namespace ombrix::ui
