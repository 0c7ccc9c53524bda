// The one place where window messages' wParam and lParam are unpacked into
// named values; handlers take these and never look at the raw words again.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <cstdint>
#include <dbt.h>
#include <shellapi.h>

namespace ombrix::ui {

struct ClientPoint {
  int x = 0;
  int y = 0;
};

// WM_SIZE.
struct SizeMessage {
  int clientWidth = 0;
  int clientHeight = 0;
  bool minimized = false;
};

// WM_COMMAND from a menu, an accelerator or a control.
struct CommandMessage {
  int id = 0;
  int notification = 0;
  HWND control = nullptr;
};

// WM_DPICHANGED: the new DPI and the window rectangle Windows suggests for it.
struct DpiChangedMessage {
  std::uint32_t dpi = 0;
  RECT suggested{};
};

// WM_ACTIVATE.
struct ActivateMessage {
  bool active = false;
  bool minimized = false;
};

// WM_SETCURSOR.
struct SetCursorMessage {
  bool inClientArea = false;
};

// WM_NOTIFY: the control that speaks and what it says; the record behind
// `header` is the notification's own (NMLISTVIEW, NMLVDISPINFOW, ...).
struct NotifyMessage {
  HWND from = nullptr;
  UINT code = 0;
  NMHDR* header = nullptr;
};

// WM_CONTEXTMENU: the window clicked and the mouse position on the screen,
// or no position when the menu key or Shift+F10 asked for the menu.
struct ContextMenuMessage {
  HWND target = nullptr;
  bool fromKeyboard = false;
  POINT screenPoint{};
};

// WM_DEVICECHANGE: only arrivals and completed removals change the drives.
struct DeviceChangeMessage {
  bool drivesMayHaveChanged = false;
};

// WM_SETTINGCHANGE: the message font and Windows' text size are part of
// the non-client metrics.
struct SettingChangeMessage {
  bool metricsMayHaveChanged = false;
};

// WM_TIMER.
struct TimerMessage {
  UINT_PTR id = 0;
};

// WM_DROPFILES: the drop, which the handler must release.
struct DropFilesMessage {
  HDROP drop = nullptr;
};

inline SizeMessage DecodeSize(WPARAM wParam, LPARAM lParam) {
  return SizeMessage{LOWORD(lParam), HIWORD(lParam), wParam == SIZE_MINIMIZED};
}

// Mouse messages: client coordinates, signed (a captured mouse may be left
// of or above the window).
inline ClientPoint DecodeMousePoint(LPARAM lParam) {
  return ClientPoint{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

inline CommandMessage DecodeCommand(WPARAM wParam, LPARAM lParam) {
  return CommandMessage{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)};
}

inline DpiChangedMessage DecodeDpiChanged(WPARAM wParam, LPARAM lParam) {
  DpiChangedMessage message;
  message.dpi = HIWORD(wParam);
  if (lParam != 0) message.suggested = *reinterpret_cast<const RECT*>(lParam);
  return message;
}

inline ActivateMessage DecodeActivate(WPARAM wParam) {
  return ActivateMessage{LOWORD(wParam) != WA_INACTIVE, HIWORD(wParam) != 0};
}

inline SetCursorMessage DecodeSetCursor(LPARAM lParam) {
  return SetCursorMessage{LOWORD(lParam) == HTCLIENT};
}

inline NotifyMessage DecodeNotify(LPARAM lParam) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  return NotifyMessage{header->hwndFrom, header->code, header};
}

inline ContextMenuMessage DecodeContextMenu(WPARAM wParam, LPARAM lParam) {
  ContextMenuMessage message;
  message.target = reinterpret_cast<HWND>(wParam);
  // (-1, -1) is the keyboard's mark.
  message.fromKeyboard = lParam == -1 || (LOWORD(lParam) == 0xFFFF && HIWORD(lParam) == 0xFFFF);
  message.screenPoint = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return message;
}

inline DeviceChangeMessage DecodeDeviceChange(WPARAM wParam) {
  return DeviceChangeMessage{wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE};
}

inline SettingChangeMessage DecodeSettingChange(WPARAM wParam, LPARAM lParam) {
  // Some senders give no action, only the section name.
  const auto* section = reinterpret_cast<const wchar_t*>(lParam);
  const bool metricsSection = section != nullptr && ::lstrcmpiW(section, L"WindowMetrics") == 0;
  return SettingChangeMessage{wParam == SPI_SETNONCLIENTMETRICS ||
                              wParam == SPI_SETICONTITLELOGFONT || metricsSection};
}

inline TimerMessage DecodeTimer(WPARAM wParam) { return TimerMessage{wParam}; }

inline DropFilesMessage DecodeDropFiles(WPARAM wParam) {
  return DropFilesMessage{reinterpret_cast<HDROP>(wParam)};
}

// The creation parameter of CreateWindowExW, as WM_NCCREATE carries it.
template <typename Record>
Record* DecodeCreationParameter(LPARAM lParam) {
  return static_cast<Record*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
}

}  // namespace ombrix::ui
