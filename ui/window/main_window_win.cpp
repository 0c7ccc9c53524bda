#include "ui/window/main_window_win.h"

#include <windows.h>

#include <utility>

#include "base/win/wide_string_win.h"
#include "ui/find/find_view_win.h"
#include "ui/find/types_view_win.h"
#include "ui/saved/compare_commands_win.h"
#include "ui/saved/saved_scan_commands_win.h"
#include "ui/window/folder_choices_win.h"
#include "ui/window/main_window_commands_win.h"
#include "ui/window/main_window_view_win.h"
#include "ui/window/menu_bar_win.h"
#include "ui/lists/ranking_lists_win.h"
#include "ui/window/status_bar_win.h"
#include "ui/window/window_messages_win.h"
#include "ui/window/window_placement.h"

namespace ombrix::ui {
namespace {

constexpr int kIconResource = 101;
constexpr DWORD kMainWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kInitialWidth = 1280;
constexpr int kInitialHeight = 720;

MainWindowState* StateOf(HWND window) {
  return reinterpret_cast<MainWindowState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The messages a drop from Explorer arrives in: Ombrix asks to run elevated,
// and Windows keeps them from an elevated window when Explorer is not.
constexpr UINT kCopyGlobalData = 0x0049;  // carries the dropped names across
constexpr UINT kDropMessages[] = {WM_DROPFILES, WM_COPYDATA, kCopyGlobalData};

void AllowDropsFromExplorer(MainWindowState& state) {
  if (!state.seams.allowMessageFromLowerRights) return;
  for (const UINT message : kDropMessages) {
    state.seams.allowMessageFromLowerRights(state.window, message);
  }
}

HICON LoadAppIcon(HINSTANCE instance, int size) {
  return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR));
}

// The caption and taskbar icons from the .ico's images at the window's DPI
// (64 pixels at 200 %), not its 32 and 16 pixel images stretched. Each new
// icon is set before the one it replaces is destroyed.
void SetWindowIcons(MainWindowState& state) {
  const struct {
    WPARAM which;
    int metric;
    base::UniqueIcon MainWindowState::*slot;
  } icons[] = {{ICON_BIG, SM_CXICON, &MainWindowState::windowLargeIcon},
               {ICON_SMALL, SM_CXSMICON, &MainWindowState::windowSmallIcon}};
  for (const auto& icon : icons) {
    base::UniqueIcon fresh(
        LoadAppIcon(state.instance, ::GetSystemMetricsForDpi(icon.metric, state.dpi)));
    if (!fresh) continue;
    ::SendMessageW(state.window, WM_SETICON, icon.which, reinterpret_cast<LPARAM>(fresh.get()));
    std::swap(state.*icon.slot, fresh);
  }
}

void OnCreate(MainWindowState& state) {
  state.dpi = WindowDpi(state.window);
  SetWindowIcons(state);
  state.font = UiFont::ForDpi(state.dpi);
  state.settings = state.settingsStore.LoadSettings();
  state.language.SetLanguage(state.settings.language);
  state.language.EnsureLanguageLoaded(state.language.ResolveLanguage());
  SetTheme(state, state.settings.theme);
  state.controller.SetThreadsPerDrive(state.settings.threadsPerDrive);
  state.ranking.SetSizeBasis(state.settings.sizeBasis);
  InstallMenuBar(state);
  ::DragAcceptFiles(state.window, TRUE);
  AllowDropsFromExplorer(state);
  CreateMainWindowControls(state);
  ApplyMainWindowFonts(state);
  ApplyMainWindowTheme(state);
  InsertRankingColumns(state);
  InstallStatusBarPainting(state);
  FillSelector(state);
  ::EnableWindow(state.controls.selector, TRUE);
  ::EnableWindow(state.controls.scanButton, TRUE);
  ::EnableWindow(state.controls.folderButton, TRUE);
  ::EnableWindow(state.controls.cancelButton, FALSE);
  UpdateOpenButton(state);
  ShowNotice(state, kNoticeReady);
}

void OnDestroy(MainWindowState& state) {
  ::KillTimer(state.window, kProgressTimer);
  // The scan winds down while the message loop ends; the controller joins
  // its thread when the state is torn down.
  state.controller.CancelScan();
  ::PostQuitMessage(0);
}

ClientPoint CursorInClient(HWND window) {
  POINT cursor{};
  ::GetCursorPos(&cursor);
  ::ScreenToClient(window, &cursor);
  return ClientPoint{cursor.x, cursor.y};
}

void ShowSplitterCursor(Splitter splitter) {
  ::SetCursor(::LoadCursorW(nullptr, splitter == Splitter::Vertical ? IDC_SIZEWE : IDC_SIZENS));
}

bool OnSetCursor(MainWindowState& state, const SetCursorMessage& message) {
  if (state.dragMode != Splitter::None) {
    ShowSplitterCursor(state.dragMode);
    return true;
  }
  if (!message.inClientArea) return false;
  const ClientPoint point = CursorInClient(state.window);
  const Splitter hit = HitTestSplitters(state.client, state.dpi, state.splitters, point.x, point.y);
  if (hit == Splitter::None) return false;
  ShowSplitterCursor(hit);
  return true;
}

void OnMouseMove(MainWindowState& state, ClientPoint point) {
  if (state.dragMode == Splitter::None) {
    const Splitter hit =
        HitTestSplitters(state.client, state.dpi, state.splitters, point.x, point.y);
    if (hit != Splitter::None) ShowSplitterCursor(hit);
    return;
  }
  DragSplitter(state.dragMode, point.x, point.y, state.client, state.dpi, state.splitters);
  ArrangeMainWindow(state);
}

void OnLeftButtonDown(MainWindowState& state, ClientPoint point) {
  const Splitter hit = HitTestSplitters(state.client, state.dpi, state.splitters, point.x, point.y);
  if (hit == Splitter::None) return;
  state.dragMode = hit;
  ::SetCapture(state.window);
  ShowSplitterCursor(hit);
}

void EndDrag(MainWindowState& state) {
  if (state.dragMode == Splitter::None) return;
  state.dragMode = Splitter::None;
  ::ReleaseCapture();
}

// The controls take the new font before the old one is deleted (when the
// returned font goes): a control that paints meanwhile would draw with a
// deleted font.
[[nodiscard]] UiFont RenewUiFont(MainWindowState& state) {
  UiFont old = std::exchange(state.font, UiFont::ForDpi(state.dpi));
  ApplyMainWindowFonts(state);
  return old;
}

void OnDpiChanged(MainWindowState& state, const DpiChangedMessage& message) {
  const std::uint32_t oldDpi = state.dpi;
  state.dpi = message.dpi != 0 ? message.dpi : oldDpi;
  UiFont oldFont;
  if (state.font.dpi() != state.dpi) {
    oldFont = RenewUiFont(state);
  } else {
    ApplyMainWindowFonts(state);
  }
  RescaleSplitters(state.splitters, oldDpi, state.dpi);
  const RECT& to = message.suggested;
  ::SetWindowPos(state.window, nullptr, to.left, to.top, to.right - to.left, to.bottom - to.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyMainWindowTheme(state);
  ResetRankingColumnWidths(state);
  ResetFoundColumnWidths(state);
  ResetTypeColumnWidths(state);
  ArrangeMainWindow(state);
  SetWindowIcons(state);
}

// Windows' text size or the message font changed: the same DPI, other
// metrics.
void OnSettingChange(MainWindowState& state, const SettingChangeMessage& change) {
  if (!change.metricsMayHaveChanged) return;
  const UiFont oldFont = RenewUiFont(state);
  ArrangeMainWindow(state);
}

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* state = DecodeCreationParameter<MainWindowState>(lParam);
    state->window = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  MainWindowState* state = StateOf(window);
  if (state == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      OnCreate(*state);
      return 0;
    case WM_DESTROY:
      OnDestroy(*state);
      return 0;
    case WM_SIZE: {
      // A minimised window has no client area to lay out in: the splitters
      // would be clamped to their minimum and kept there after a restore.
      const SizeMessage size = DecodeSize(wParam, lParam);
      if (size.minimized || size.clientWidth == 0 || size.clientHeight == 0) return 0;
      state->client.width = size.clientWidth;
      state->client.height = size.clientHeight;
      ArrangeMainWindow(*state);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = ::BeginPaint(window, &paint);
      PaintMainWindow(*state, dc);
      ::EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers the whole client area
    case WM_PRINTCLIENT:
      // Themed buttons and the selector ask for their parent's background
      // behind their rounded corners.
      PaintMainWindow(*state, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_CTLCOLORBTN:
      // What a button shows around its face; otherwise light corners on a
      // dark window.
      return reinterpret_cast<LRESULT>(
          WindowBackgroundBrush(*state, reinterpret_cast<HDC>(wParam)));
    case WM_ACTIVATE: {
      const ActivateMessage activate = DecodeActivate(wParam);
      if (!activate.active) {
        RememberFocus(*state);
      } else if (!activate.minimized) {
        RestoreFocus(*state);
      }
      return 0;
    }
    case WM_SETCURSOR:
      if (OnSetCursor(*state, DecodeSetCursor(lParam))) return TRUE;
      break;
    case WM_COMMAND:
      OnMainWindowCommand(*state, DecodeCommand(wParam, lParam));
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(*state, DecodeMousePoint(lParam));
      return 0;
    case WM_LBUTTONDOWN:
      OnLeftButtonDown(*state, DecodeMousePoint(lParam));
      return 0;
    case WM_LBUTTONUP:
      EndDrag(*state);
      return 0;
    case WM_CAPTURECHANGED:
      // Capture taken away mid-drag (a message box, Alt+Tab): the drag ends
      // where it is instead of following the mouse on its next visit.
      if (reinterpret_cast<HWND>(lParam) != window) state->dragMode = Splitter::None;
      return 0;
    case WM_NOTIFY:
      if (const auto answer = OnRankingListNotify(*state, DecodeNotify(lParam))) return *answer;
      if (const auto answer = OnFoundListNotify(*state, DecodeNotify(lParam))) return *answer;
      if (const auto answer = OnTypesListNotify(*state, DecodeNotify(lParam))) return *answer;
      break;
    case WM_CTLCOLOREDIT:
      if (const auto brush = OnFindBoxColours(*state, reinterpret_cast<HDC>(wParam),
                                              reinterpret_cast<HWND>(lParam))) {
        return *brush;
      }
      break;
    case WM_CONTEXTMENU:
      if (OnRankingContextMenu(*state, DecodeContextMenu(wParam, lParam))) return 0;
      break;
    case WM_TIMER:
      OnProgressTimer(*state, DecodeTimer(wParam));
      return 0;
    case WM_DEVICECHANGE:
      OnDeviceChange(*state, DecodeDeviceChange(wParam));
      return TRUE;
    case WM_INITMENUPOPUP:
      EnableScanFileCommands(*state, reinterpret_cast<HMENU>(wParam));
      EnableCompareCommands(*state, reinterpret_cast<HMENU>(wParam));
      break;
    case WM_DROPFILES:
      OnDropFiles(*state, DecodeDropFiles(wParam));
      return 0;
    case app::kScanFinishedMessage:
      OnScanFinished(*state);
      return 0;
    case kBackgroundAnswersMessage:
      OnBackgroundAnswers(*state);
      return 0;
    case kFindAnswerMessage:
      OnFindAnswer(*state);
      return 0;
    case kTypesAnswerMessage:
      OnTypesAnswer(*state);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(*state, DecodeDpiChanged(wParam, lParam));
      return 0;
    case WM_SETTINGCHANGE:
      OnSettingChange(*state, DecodeSettingChange(wParam, lParam));
      break;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterMainWindowClass(MainWindowState& state) {
  state.largeIcon.reset(LoadAppIcon(state.instance, 32));
  state.smallIcon.reset(LoadAppIcon(state.instance, 16));
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = MainWindowProcedure;
  windowClass.hInstance = state.instance;
  windowClass.hIcon = state.largeIcon.get();
  windowClass.hIconSm = state.smallIcon.get();
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kMainWindowClass;
  return ::RegisterClassExW(&windowClass) != 0;
}

bool HandleMainWindowKeys(HWND window, MSG& message) {
  if (MainWindowState* state = StateOf(window); state != nullptr &&
      (HandleFindKeys(*state, message) || HandleTypesKeys(*state, message))) {
    return true;
  }
  return ::IsDialogMessageW(window, &message) != FALSE;
}

HWND CreateMainWindow(MainWindowState& state, const std::u16string& title) {
  return ::CreateWindowExW(0, kMainWindowClass, base::WideView(title), kMainWindowStyle,
                           CW_USEDEFAULT, CW_USEDEFAULT, kInitialWidth, kInitialHeight, nullptr,
                           nullptr, state.instance, &state);
}

void PlaceOnMonitorWorkArea(HWND window) {
  RECT workArea{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  const HMONITOR nearest = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  if (nearest != nullptr && ::GetMonitorInfoW(nearest, &monitor) &&
      !::IsRectEmpty(&monitor.rcWork)) {
    workArea = monitor.rcWork;
  } else {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  }
  const PixelRect place =
      PlaceOnWorkArea(PixelRect{workArea.left, workArea.top, workArea.right - workArea.left,
                                workArea.bottom - workArea.top},
                      WindowDpi(window));
  ::SetWindowPos(window, nullptr, place.left, place.top, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ombrix::ui
