// The one place where window messages' wParam and lParam are unpacked into
// named values; handlers take these and never look at the raw words again.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ombrix::ui {

struct ClientPoint {
  int x = 0;
  int y = 0;
};

// WM_SIZE.
struct SizeMessage {
  int clientWidth = 0;
  int clientHeight = 0;
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

// WM_SETCURSOR.
struct SetCursorMessage {
  bool inClientArea = false;
};

inline SizeMessage DecodeSize(LPARAM lParam) { return SizeMessage{LOWORD(lParam), HIWORD(lParam)}; }

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

inline SetCursorMessage DecodeSetCursor(LPARAM lParam) {
  return SetCursorMessage{LOWORD(lParam) == HTCLIENT};
}

// The creation parameter of CreateWindowExW, as WM_NCCREATE carries it.
template <typename Record>
Record* DecodeCreationParameter(LPARAM lParam) {
  return static_cast<Record*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
}

}  // namespace ombrix::ui
