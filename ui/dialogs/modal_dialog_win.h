// What the program's dialogs (start-up privilege, scan settings, About)
// share: each is a plain top-level window of its own class, owned by the
// main window and run modally in a local message loop; no dialog templates.
//
// Their layouts are written at 96 DPI. The text is in the system message
// font, which grows with the display scale, so every coordinate and the
// client size are scaled by the owner's DPI too; unscaled boxes would cut
// the text off at 125 % and more.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

#include "ui/dialogs/dialog_button_row.h"
#include "ui/common/pixel_rect.h"

namespace ombrix::ui {

// Each dialog's record starts its life with one of these; the runner sets
// `dpi` before the window exists, the dialog sets `done` when it ends.
struct ModalDialogState {
  std::uint32_t dpi = 96;
  bool done = false;
};

struct ModalDialogSetup {
  const wchar_t* className = nullptr;
  WNDPROC procedure = nullptr;
  int clientWidth96 = 0;
  int clientHeight96 = 0;
  std::u16string title;
  // Passed as the creation parameter; must start with a ModalDialogState
  // (`state` points into it).
  void* record = nullptr;
  ModalDialogState* state = nullptr;
};

// False when the class cannot be registered or the window cannot be made:
// nothing was shown. Otherwise returns once the dialog is done, with the
// owner enabled and active again.
bool RunModalDialog(HINSTANCE instance, HWND owner, const ModalDialogSetup& setup);

// WM_NCCREATE: keeps the creation parameter in the window's user data.
void StoreDialogRecord(HWND dialog, LPARAM createParameter);
template <typename Record>
Record* DialogRecord(HWND dialog) {
  return reinterpret_cast<Record*>(::GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

// How a dialog ends itself: marked done for the runner's loop, its owner
// enabled again, then its window destroyed.
void EndModalDialog(HWND dialog, ModalDialogState& state);

// A child control at a 96-DPI position, scaled by `dpi`.
HWND CreateDialogControl(HWND dialog, const wchar_t* className, const std::u16string& text,
                         DWORD style, int id, const PixelRect& rect96, std::uint32_t dpi,
                         DWORD exStyle = 0);

// Sizes a row of the dialog's push buttons, created at `rects96`, to their
// captions in the dialog font (dialog_button_row.h).
void FitButtonRow(HWND dialog, std::span<const int> ids, std::span<const PixelRect> rects96,
                  RowAnchor anchor, std::uint32_t dpi);

// The control-colour messages every dialog answers alike: text on the
// window colour. True when `message` was one of them.
bool HandleDialogControlColour(UINT message, WPARAM wParam, LRESULT& result);

// What every dialog's window procedure answers before its own messages:
// WM_NCCREATE keeps the record (and goes to DefWindowProc, which sets the
// caption; a window that skips it has an empty title bar), the control
// colours, and whatever arrives before the record is there. True when
// `result` is the answer; otherwise `record` is the dialog's record.
template <typename Record>
bool AnswerCommonDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam,
                               Record*& record, LRESULT& result) {
  if (message == WM_NCCREATE) {
    StoreDialogRecord(dialog, lParam);
    result = ::DefWindowProcW(dialog, message, wParam, lParam);
    return true;
  }
  record = DialogRecord<Record>(dialog);
  if (HandleDialogControlColour(message, wParam, result)) return true;
  if (record == nullptr) {
    result = ::DefWindowProcW(dialog, message, wParam, lParam);
    return true;
  }
  return false;
}

}  // namespace ombrix::ui
