#include "ui/status_bar_win.h"

#include <windows.h>

#include <commctrl.h>

#include "app/status_text.h"
#include "base/win/wide_string_win.h"

namespace ombrix::ui {
namespace {

void SetStatusText(const MainWindowState& state, const std::u16string& text) {
  ::SendMessageW(state.controls.statusBar, SB_SETTEXTW, 0,
                 reinterpret_cast<LPARAM>(base::WideView(text)));
}

std::u16string ScanLine(MainWindowState& state) {
  if (state.uiState == UiState::Scanning) {
    return app::ProgressText(state.controller, state.language);
  }
  const core::ScanResult& result = state.ranking.Result();
  // A failed scan has no counts worth reading; its message says why.
  if (result.status == core::ScanStatus::Failed) return result.message;
  return app::CompletionText(result, state.language);
}

}  // namespace

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
