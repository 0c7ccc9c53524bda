#include "ui/saved/kept_scan_commands_win.h"

#include <string>

#include "app/saved/kept_scans.h"
#include "app/settings/settings_files.h"
#include "core/scan_model.h"
#include "ui/saved/scan_file_notices.h"
#include "ui/window/main_window_commands_win.h"
#include "ui/window/status_bar_win.h"

namespace ombrix::ui {

void KeepFinishedScan(MainWindowState& state) {
  const core::ScanResult& result = state.ranking.Result();
  // A cancelled scan is a part of its root, and a scan opened from a file
  // is kept already where it came from.
  if (!state.settings.keepLastScans || state.resultFromFile || state.scanFileBusy ||
      result.status != core::ScanStatus::Completed || result.rootIndex >= result.nodes.size()) {
    return;
  }
  const std::u16string folder = app::KeptScansFolder(state.settingsStore.settingsFilePath());
  if (folder.empty()) return;
  state.scanFileBusy = true;
  // The worker reads the shown result in place: while scanFileBusy nothing
  // replaces it, and the state outlives the worker.
  const core::ScanResult* shown = &result;
  AskOffWindowThread<bool>(
      state,
      [shown, folder] {
        return app::KeepScan(app::SystemSettingsFiles(), folder, *shown, shown->nodes.size());
      },
      [](MainWindowState& state, const bool& kept) {
        if (!kept) ShowNotice(state, kNoticeScanKeepFailed);
        EndScanFileWork(state);
      });
}

}  // namespace ombrix::ui
