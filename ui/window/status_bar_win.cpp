#include "ui/window/status_bar_win.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/status_text.h"
#include "base/win/wide_string_win.h"
#include "ui/common/dpi_scaling.h"
#include "ui/common/solid_fill_win.h"
#include "ui/saved/compare_commands_win.h"
#include "ui/saved/saved_scan_commands_win.h"

namespace ombrix::ui {
namespace {

void SetStatusText(const MainWindowState& state, const std::u16string& text) {
  ::SendMessageW(state.controls.statusBar, SB_SETTEXTW, 0,
                 reinterpret_cast<LPARAM>(base::WideView(text)));
}

std::u16string ScanLine(MainWindowState& state) {
  if (state.uiState == UiState::Scanning) {
    return app::ProgressText(state.controller, state.language, app::SystemLocaleQueries(),
                             state.scanUsedSpace);
  }
  std::u16string line = ComparedLinePrefix(state);
  line += state.resultFromFile ? OpenedScanLine(state)
                               : app::CompletionText(state.ranking.Result(), state.language);
  return line;
}

constexpr UINT_PTR kStatusSubclassId = 1;
constexpr int kTextInset = 4;


// The bar in the theme's header colours with its one line of text: the
// control's own painting keeps the system's colours whatever SB_SETBKCOLOR
// says once visual styles (or Wine's classic look) draw it.
void PaintStatusBar(const MainWindowState& state, HWND bar) {
  PAINTSTRUCT paint{};
  const HDC dc = ::BeginPaint(bar, &paint);
  RECT client{};
  ::GetClientRect(bar, &client);
  FillSolid(dc, PixelRect{0, 0, client.right, client.bottom}, state.palette.headerBackground);
  FillSolid(dc, PixelRect{0, 0, client.right, ScaleForDpi(1, state.dpi)}, state.palette.border);
  const int length = LOWORD(::DefSubclassProc(bar, SB_GETTEXTLENGTHW, 0, 0));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  ::DefSubclassProc(bar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  RECT area = client;
  area.left += ScaleForDpi(kTextInset, state.dpi);
  area.right -= ScaleForDpi(kTextInset, state.dpi);
  const HGDIOBJ oldFont =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(bar, WM_GETFONT, 0, 0)));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, state.palette.text);
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  ::SelectObject(dc, oldFont);
  ::EndPaint(bar, &paint);
}

LRESULT CALLBACK StatusBarProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam,
                                    UINT_PTR, DWORD_PTR reference) {
  const auto* state = reinterpret_cast<const MainWindowState*>(reference);
  switch (message) {
    case WM_PAINT:
      PaintStatusBar(*state, bar);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case SB_SETTEXTW: {
      const LRESULT result = ::DefSubclassProc(bar, message, wParam, lParam);
      ::InvalidateRect(bar, nullptr, FALSE);
      return result;
    }
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(bar, StatusBarProcedure, kStatusSubclassId);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(bar, message, wParam, lParam);
}

}  // namespace

void InstallStatusBarPainting(MainWindowState& state) {
  ::SetWindowSubclass(state.controls.statusBar, StatusBarProcedure, kStatusSubclassId,
                      reinterpret_cast<DWORD_PTR>(&state));
}

void ShowNotice(MainWindowState& state, const char* key) {
  state.statusNotice = key;
  SetStatusText(state, state.language.Translate(key));
}

void ClearStatus(MainWindowState& state) {
  state.statusNotice = nullptr;
  SetStatusText(state, u"");
}

void ShowScanLine(MainWindowState& state) {
  state.statusNotice = nullptr;
  if (state.uiState == UiState::Idle) {
    SetStatusText(state, u"");
    return;
  }
  SetStatusText(state, ScanLine(state));
}

void RetextStatus(MainWindowState& state) {
  if (state.statusNotice != nullptr) {
    ShowNotice(state, state.statusNotice);
  } else if (state.uiState != UiState::Idle) {
    ShowScanLine(state);
  }
}

}  // namespace ombrix::ui
