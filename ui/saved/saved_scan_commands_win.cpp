#include "ui/saved/saved_scan_commands_win.h"

#include <memory>
#include <utility>

#include "app/saved/scan_files.h"
#include "app/status_text.h"
#include "core/scan_model.h"
#include "ui/common/control_ids.h"
#include "ui/common/local_file_time_win.h"
#include "ui/saved/scan_file_dialogs_win.h"
#include "ui/saved/scan_file_names.h"
#include "ui/saved/scan_file_notices.h"
#include "ui/window/main_window_commands_win.h"
#include "ui/window/status_bar_win.h"

namespace ombrix::ui {
// An unknown time (0) stays unknown.
std::uint64_t LocalFileTime(std::uint64_t fileTime) {
  return fileTime == 0 ? 0 : LocalFromUtcFileTime(fileTime);
}

namespace {

bool Idle(const MainWindowState& state) {
  return !state.scanFileBusy && !state.controller.IsScanning();
}

// A scan asked for meanwhile starts after what the file brought is shown.
void ShowOpenedScan(MainWindowState& state, app::OpenedScan& opened) {
  if (opened.result) {
    ShowFinishedResult(state, std::move(*opened.result), /*fromFile=*/true);
  } else {
    ShowNotice(state, OpenFailureNotice(opened.error));
  }
  EndScanFileWork(state);
}

}  // namespace

bool CanSaveScan(const MainWindowState& state) {
  const core::ScanResult& result = state.ranking.Result();
  return Idle(state) && state.uiState == UiState::Finished &&
         result.status != core::ScanStatus::Failed && result.rootIndex < result.nodes.size();
}

bool CanOpenScan(const MainWindowState& state) { return Idle(state); }

void SaveScan(MainWindowState& state) {
  if (!CanSaveScan(state)) return;
  const core::ScanResult& result = state.ranking.Result();
  const std::u16string path = AskScanFileToSave(
      state.window, state.language,
      SuggestedScanFileName(result.rootPath, LocalFileTime(result.scanTime)));
  // The dialog is modal, but the window's messages ran meanwhile.
  if (path.empty() || !CanSaveScan(state)) return;
  state.scanFileBusy = true;
  ShowNotice(state, kNoticeScanSaving);
  // The worker reads the shown result in place: while scanFileBusy nothing
  // replaces it, and the state outlives the worker.
  const core::ScanResult* shown = &result;
  AskOffWindowThread<bool>(
      state,
      [shown, path] {
        return app::SaveScanFile(app::SystemSettingsFiles(), path, *shown, shown->nodes.size());
      },
      [](MainWindowState& state, const bool& saved) {
        ShowNotice(state, saved ? kNoticeScanSaved : kNoticeScanSaveFailed);
        EndScanFileWork(state);
      });
}

void OpenScan(MainWindowState& state) {
  if (!CanOpenScan(state)) return;
  std::u16string path = AskScanFileToOpen(state.window, state.language);
  if (!path.empty()) OpenScanFile(state, std::move(path));
}

void OpenScanFile(MainWindowState& state, std::u16string path) {
  if (!CanOpenScan(state)) return;
  state.scanFileBusy = true;
  ShowNotice(state, kNoticeScanOpening);
  // Shared, because answers are handed on as constants; the window thread
  // takes the result out of it.
  using Opened = std::shared_ptr<app::OpenedScan>;
  AskOffWindowThread<Opened>(
      state,
      [path = std::move(path)] {
        return std::make_shared<app::OpenedScan>(
            app::OpenScanFile(app::SystemSettingsFiles(), path));
      },
      [](MainWindowState& state, const Opened& opened) { ShowOpenedScan(state, *opened); });
}

bool OpenDroppedScanFile(MainWindowState& state, const std::vector<std::u16string>& dropped) {
  for (const std::u16string& path : dropped) {
    if (IsScanFileName(path)) {
      OpenScanFile(state, path);
      return true;
    }
  }
  return false;
}

void EnableScanFileCommands(const MainWindowState& state, HMENU menu) {
  ::EnableMenuItem(menu, kOpenScanCommand,
                   MF_BYCOMMAND | (CanOpenScan(state) ? MF_ENABLED : MF_GRAYED));
  ::EnableMenuItem(menu, kSaveScanCommand,
                   MF_BYCOMMAND | (CanSaveScan(state) ? MF_ENABLED : MF_GRAYED));
}

std::u16string OpenedScanLine(MainWindowState& state) {
  const core::ScanResult& result = state.ranking.Result();
  return app::OpenedScanText(result, LocalFileTime(result.scanTime), state.language);
}

}  // namespace ombrix::ui
