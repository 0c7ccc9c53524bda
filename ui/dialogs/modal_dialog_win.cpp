#include "ui/dialogs/modal_dialog_win.h"

#include <windows.h>

#include <string>
#include <vector>

#include "base/win/wide_string_win.h"
#include "ui/common/dpi_scaling.h"
#include "ui/common/ui_fonts_win.h"
#include "ui/window/window_placement.h"

namespace ombrix::ui {
namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

bool RegisterDialogClass(HINSTANCE instance, const ModalDialogSetup& setup) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = setup.procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = setup.className;
  return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

PixelRect WindowRect(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return PixelRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

bool RunModalDialog(HINSTANCE instance, HWND owner, const ModalDialogSetup& setup) {
  if (!RegisterDialogClass(instance, setup)) return false;
  setup.state->dpi = WindowDpi(owner);
  setup.state->done = false;

  RECT frame{0, 0, ScaleForDpi(setup.clientWidth96, setup.state->dpi),
             ScaleForDpi(setup.clientHeight96, setup.state->dpi)};
  ::AdjustWindowRectExForDpi(&frame, kDialogStyle, FALSE, kDialogExStyle, setup.state->dpi);
  const HWND dialog =
      ::CreateWindowExW(kDialogExStyle, setup.className, base::WideView(setup.title), kDialogStyle,
                        CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                        frame.bottom - frame.top, owner, nullptr, instance, setup.record);
  if (dialog == nullptr) return false;

  const PixelRect size = WindowRect(dialog);
  const PixelRect place = CentreOverOwner(WindowRect(owner), size.width, size.height);
  ::SetWindowPos(dialog, nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  ::EnableWindow(owner, FALSE);
  ::ShowWindow(dialog, SW_SHOW);
  ::UpdateWindow(dialog);
  MSG message{};
  while (!setup.state->done) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // The quit belongs to the main loop; leave it there for it.
      if (got == 0) ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!::IsDialogMessageW(dialog, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  ::EnableWindow(owner, TRUE);
  if (::IsWindow(dialog)) ::DestroyWindow(dialog);
  ::SetActiveWindow(owner);
  ::SetForegroundWindow(owner);
  return true;
}

void EndModalDialog(HWND dialog, ModalDialogState& state) {
  state.done = true;
  // Windows activates another window when the active one is destroyed; the
  // owner must be enabled by then to be chosen, or another program's
  // window comes forward first and the screen flickers.
  ::EnableWindow(::GetWindow(dialog, GW_OWNER), TRUE);
  ::DestroyWindow(dialog);
}

void StoreDialogRecord(HWND dialog, LPARAM createParameter) {
  const auto* create = reinterpret_cast<const CREATESTRUCTW*>(createParameter);
  ::SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

HWND CreateDialogControl(HWND dialog, const wchar_t* className, const std::u16string& text,
                         DWORD style, int id, const PixelRect& rect96, std::uint32_t dpi,
                         DWORD exStyle) {
  const PixelRect rect = ScaleRectForDpi(rect96, dpi);
  return ::CreateWindowExW(
      exStyle, className, base::WideView(text), WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
      rect.width, rect.height, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
}

void FitButtonRow(HWND dialog, std::span<const int> ids, std::span<const PixelRect> rects96,
                  RowAnchor anchor, std::uint32_t dpi) {
  std::vector<int> captions;
  for (const int id : ids) {
    const HWND button = ::GetDlgItem(dialog, id);
    std::wstring caption(static_cast<std::size_t>(::GetWindowTextLengthW(button)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(
        ::GetWindowTextW(button, caption.data(), static_cast<int>(caption.size()))));
    captions.push_back(TextWidth(button, DialogFont(dpi), caption.c_str()));
  }
  const std::vector<PixelRect> row = LayOutButtonRow(rects96, captions, anchor, dpi);
  for (std::size_t i = 0; i < row.size() && i < ids.size(); ++i) {
    ::MoveWindow(::GetDlgItem(dialog, ids[i]), row[i].left, row[i].top, row[i].width,
                 row[i].height, FALSE);
  }
}

bool HandleDialogControlColour(UINT message, WPARAM wParam, LRESULT& result) {
  switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      result = reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
      return true;
    default:
      return false;
  }
}

}  // namespace ombrix::ui
