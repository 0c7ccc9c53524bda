#include "ui/saved/compare_commands_win.h"

#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "app/compare/scan_comparison.h"
#include "app/saved/kept_scans.h"
#include "app/saved/scan_files.h"
#include "app/status_text.h"
#include "ui/common/control_ids.h"
#include "ui/lists/ranking_lists_win.h"
#include "ui/saved/saved_scan_commands_win.h"
#include "ui/saved/scan_file_dialogs_win.h"
#include "ui/saved/scan_file_notices.h"
#include "ui/window/main_window_commands_win.h"
#include "ui/window/status_bar_win.h"

namespace ombrix::ui {
namespace {

// What the worker hands back: the comparison, or why the file could not
// be compared with.
struct CompareAnswer {
  std::optional<app::ScanComparison> comparison;
  app::SavedScanError error = app::SavedScanError::None;
  bool noEarlierScan = false;
  ComparedScan earlier;
};

// A scan asked for meanwhile starts after the answer is shown.
void ShowCompareAnswer(MainWindowState& state, CompareAnswer& answer) {
  if (answer.comparison) {
    state.comparedWith = std::move(answer.earlier);
    ShowComparison(state, std::move(*answer.comparison));
    ShowScanLine(state);
  } else {
    ShowNotice(state,
               answer.noEarlierScan ? kNoticeNoEarlierScan : OpenFailureNotice(answer.error));
  }
  EndScanFileWork(state);
}

// Finds the earlier scan's file, reads it and compares on the worker;
// no file found is told as such.
void StartComparing(MainWindowState& state,
                    std::function<std::optional<std::u16string>()> findFile) {
  // The dialog is modal, but the window's messages ran meanwhile.
  if (!CanCompareScan(state)) return;
  state.scanFileBusy = true;
  ShowNotice(state, kNoticeScanComparing);
  const core::ScanResult* shown = &state.ranking.Result();
  using Answer = std::shared_ptr<CompareAnswer>;
  AskOffWindowThread<Answer>(
      state,
      [shown, findFile = std::move(findFile)] {
        auto answer = std::make_shared<CompareAnswer>();
        const std::optional<std::u16string> path = findFile();
        if (!path) {
          answer->noEarlierScan = true;
          return answer;
        }
        app::OpenedScan opened = app::OpenScanFile(app::SystemSettingsFiles(), *path);
        if (!opened.result) {
          answer->error = opened.error;
          return answer;
        }
        answer->comparison = app::CompareScans(*shown, *opened.result);
        answer->earlier = {opened.result->rootPath, opened.result->scanTime};
        // The earlier tree is freed here, off the window thread.
        return answer;
      },
      [](MainWindowState& state, const Answer& answer) { ShowCompareAnswer(state, *answer); });
}

}  // namespace

bool CanCompareScan(const MainWindowState& state) { return CanSaveScan(state); }

void CompareWithScan(MainWindowState& state) {
  if (!CanCompareScan(state)) return;
  std::u16string path = AskScanFileToCompare(state.window, state.language);
  if (!path.empty()) CompareWithScanFile(state, std::move(path));
}

void CompareWithScanFile(MainWindowState& state, std::u16string path) {
  StartComparing(state, [path = std::move(path)] { return std::optional<std::u16string>(path); });
}

void CompareWithPreviousScan(MainWindowState& state) {
  if (!CanCompareScan(state)) return;
  const std::u16string folder = app::KeptScansFolder(state.settingsStore.settingsFilePath());
  const core::ScanResult& shown = state.ranking.Result();
  StartComparing(state, [folder, root = shown.rootPath,
                         time = shown.scanTime]() -> std::optional<std::u16string> {
    if (folder.empty()) return std::nullopt;
    return app::KeptScanBefore(app::SystemSettingsFiles(), folder, root, time);
  });
}

void EnableCompareCommands(const MainWindowState& state, HMENU menu) {
  const UINT usable = CanCompareScan(state) ? MF_ENABLED : MF_GRAYED;
  ::EnableMenuItem(menu, kCompareScanCommand, MF_BYCOMMAND | usable);
  ::EnableMenuItem(menu, kComparePreviousScanCommand, MF_BYCOMMAND | usable);
}

std::u16string ComparedLinePrefix(MainWindowState& state) {
  if (state.ranking.Comparison() == nullptr) return {};
  return app::ComparedText(state.comparedWith.root, LocalFileTime(state.comparedWith.scanTime),
                           state.language);
}

}  // namespace ombrix::ui
