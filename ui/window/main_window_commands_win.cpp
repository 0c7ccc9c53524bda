#include "ui/find/find_view_win.h"
#include "ui/find/types_view_win.h"
#include "ui/window/main_window_commands_win.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/win/wide_string_win.h"
#include "core/scan_model.h"
#include "i18n/language_table.h"
#include "i18n/theme_palette.h"
#include "ui/dialogs/about_dialog_win.h"
#include "ui/common/control_ids.h"
#include "ui/window/folder_choices_win.h"
#include "ui/window/main_window_view_win.h"
#include "ui/window/menu_bar_win.h"
#include "ui/lists/ranking_lists_win.h"
#include "ui/saved/compare_commands_win.h"
#include "ui/saved/kept_scan_commands_win.h"
#include "ui/saved/saved_scan_commands_win.h"
#include "ui/window/scan_handover.h"
#include "ui/dialogs/scan_settings_choice.h"
#include "ui/dialogs/scan_settings_dialog_win.h"
#include "ui/window/selector_model.h"
#include "ui/window/status_bar_win.h"

namespace ombrix::ui {
namespace {

// The drop-down is at least this many pixels wide, and each caption gets
// this much room beyond its text.
constexpr int kMinimumDropDownWidth = 300;
constexpr int kDropDownTextPadding = 36;

// Saves the settings; a failure is told in the status bar.
bool Save(MainWindowState& state) {
  if (state.settingsStore.SaveSettings(state.settings)) return true;
  ShowNotice(state, kNoticeSaveFailed);
  return false;
}

int SelectorIndex(const MainWindowState& state) {
  return static_cast<int>(::SendMessageW(state.controls.selector, CB_GETCURSEL, 0, 0));
}

// While a scan runs only Cancel is usable, and the focus is there when it
// was on a control that goes grey; after the scan it goes back to Scan.
void SetInputsEnabled(MainWindowState& state, bool idle) {
  const MainWindowControls& c = state.controls;
  // What becomes usable first, so the focus can move there.
  if (idle) {
    for (const HWND input : {c.selector, c.scanButton, c.folderButton}) {
      EnableInput(input, true, nullptr);
    }
    EnableInput(c.cancelButton, false, c.scanButton);
    UpdateOpenButton(state);
  } else {
    EnableInput(c.cancelButton, true, nullptr);
    for (const HWND input : {c.selector, c.scanButton, c.folderButton, c.openButton}) {
      EnableInput(input, false, c.cancelButton);
    }
  }
}

// The taskbar button fills as the scan finds the drives' used space.
void ShowScanOnTaskbar(MainWindowState& state) {
  if (!state.scanUsedSpace) return;
  state.taskbarProgress.Show(state.window, state.controller.LatestProgress().bytesOnDisk,
                             *state.scanUsedSpace);
}

void StartScan(MainWindowState& state) {
  const int index = SelectorIndex(state);
  if (index < 0) return;
  // A save (or a keep, right after each scan) reads the shown result until
  // it is done; the scan follows it rather than being lost.
  if (state.scanFileBusy) {
    state.scanWaitsForFile = true;
    return;
  }
  ClearStatus(state);
  SetInputsEnabled(state, false);
  ClearRankingLists(state);
  const std::optional<ScanChoice> choice =
      ScanChoiceFor(index, state.selectedFolder, state.controller.drives);
  if (choice && !state.controller.IsScanning()) {
    const HWND window = state.window;
    state.scanUsedSpace = choice->usedSpace;
    if (!choice->label.empty()) {
      state.controller.StartScanPaths(choice->paths, choice->label, window);
    } else {
      state.controller.StartScan(choice->paths.front(), window);
    }
  }
  if (!state.controller.IsScanning()) {
    SetInputsEnabled(state, true);
    ClearStatus(state);
    // The lists are empty now: a language change must not bring back the
    // last scan's completion line.
    state.uiState = UiState::Idle;
    return;
  }
  state.uiState = UiState::Scanning;
  ShowScanLine(state);
  ShowScanOnTaskbar(state);
  ::SetTimer(state.window, kProgressTimer, kProgressTimerPeriodMs, nullptr);
}

void EditScanSettings(MainWindowState& state) {
  ScanSettingsValues values = ScanSettingsValuesFrom(state.settings);
  if (!ShowScanSettingsDialog(state.instance, state.window, &state.language, values)) return;
  StoreScanSettingsValues(values, state.settings);
  // A failed save keeps the choice in memory; only a saved thread count
  // reaches the next scan.
  if (Save(state)) state.controller.SetThreadsPerDrive(state.settings.threadsPerDrive);
}

void ChooseLanguage(MainWindowState& state, std::u16string setting) {
  state.settings.language = std::move(setting);
  state.language.SetLanguage(state.settings.language);
  state.language.EnsureLanguageLoaded(state.language.ResolveLanguage());
  if (!Save(state)) return;
  RetextMainWindow(state);
  FillSelectorKeepingChoice(state);
  RetextStatus(state);
}

// The lists rank, order and share by the other size at once; the choice
// is kept even when saving it fails, as a theme is.
void ChooseSizeBasis(MainWindowState& state, core::SizeBasis basis) {
  if (state.settings.sizeBasis == basis) return;
  state.settings.sizeBasis = basis;
  Save(state);
  InstallMenuBar(state);
  ShowSizeBasis(state);
}

// Scans that finish from now on are kept or not; the ones kept stay. The
// choice holds even when saving it fails.
void ToggleKeepLastScans(MainWindowState& state) {
  state.settings.keepLastScans = !state.settings.keepLastScans;
  Save(state);
  InstallMenuBar(state);
}

void ChooseTheme(MainWindowState& state, std::u16string themeId) {
  state.settings.theme = themeId;
  if (!Save(state)) return;
  SetTheme(state, themeId);
  ApplyMainWindowTheme(state);
  InstallMenuBar(state);
}

}  // namespace

void SelectSelectorItem(const MainWindowState& state, int index) {
  ::SendMessageW(state.controls.selector, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void FillSelector(MainWindowState& state) {
  const HWND combo = state.controls.selector;
  ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  const SelectorTexts texts{state.language.Translate("combo.all_local_drives"),
                            state.language.Translate("combo.folder_prefix")};
  const std::vector<std::u16string> items =
      SelectorItems(texts, state.selectedFolder, state.controller.drives);
  int widest = kMinimumDropDownWidth;
  const HDC dc = ::GetDC(combo);
  const HGDIOBJ oldFont = ::SelectObject(
      dc, reinterpret_cast<HFONT>(::SendMessageW(combo, WM_GETFONT, 0, 0)));
  for (const std::u16string& item : items) {
    ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(base::WideView(item)));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, base::WideView(item), static_cast<int>(item.size()), &extent);
    widest = std::max(widest, static_cast<int>(extent.cx) + kDropDownTextPadding);
  }
  ::SelectObject(dc, oldFont);
  ::ReleaseDC(combo, dc);
  ::SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest), 0);
  SelectSelectorItem(state, DefaultSelectorIndex(state.selectedFolder, state.controller.drives));
}

void FillSelectorKeepingChoice(MainWindowState& state) {
  const int index = SelectorIndex(state);
  FillSelector(state);
  if (index >= 0 && index < static_cast<int>(::SendMessageW(state.controls.selector, CB_GETCOUNT, 0, 0))) {
    SelectSelectorItem(state, index);
  }
}

void OnMainWindowCommand(MainWindowState& state, const CommandMessage& command) {
  const int id = command.id;
  constexpr int kLanguageCount = static_cast<int>(i18n::kLanguages.size());
  constexpr int kThemeCount = static_cast<int>(i18n::kThemeIds.size());
  if (id == kScanButtonId) {
    StartScan(state);
  } else if (id == kCancelButtonId) {
    state.controller.CancelScan();
  } else if (id == kFolderButtonId) {
    PickFolder(state);
  } else if (id == kFindBoxId) {
    if (command.notification == EN_CHANGE) RunFind(state);
  } else if (id == kOpenButtonId || id == kContextOpenCommand) {
    OpenSelectedRankingRow(state);
  } else if (id == kOpenScanCommand) {
    OpenScan(state);
  } else if (id == kSaveScanCommand) {
    SaveScan(state);
  } else if (id == kCompareScanCommand) {
    CompareWithScan(state);
  } else if (id == kComparePreviousScanCommand) {
    CompareWithPreviousScan(state);
  } else if (id == kExitCommand) {
    ::SendMessageW(state.window, WM_CLOSE, 0, 0);
  } else if (id == kScanSettingsCommand) {
    EditScanSettings(state);
  } else if (id == kFileTypesCommand) {
    ToggleFileTypes(state);
  } else if (id == kLogicalSizesCommand || id == kSizesOnDiskCommand) {
    ChooseSizeBasis(state, id == kSizesOnDiskCommand ? core::SizeBasis::OnDisk
                                                     : core::SizeBasis::Logical);
  } else if (id == kKeepLastScansCommand) {
    ToggleKeepLastScans(state);
  } else if (id == kAboutCommand) {
    ShowAboutDialog(state.instance, state.window, state.language);
  } else if (id >= kFirstRecentFolderCommand &&
             id < kFirstRecentFolderCommand + kMaxRecentFolders) {
    ChooseRecentFolder(state, static_cast<std::size_t>(id - kFirstRecentFolderCommand));
  } else if (id == kSystemLanguageCommand) {
    ChooseLanguage(state, std::u16string(i18n::kSystemLanguageSetting));
  } else if (id >= kFirstLanguageCommand && id < kFirstLanguageCommand + kLanguageCount) {
    ChooseLanguage(state, std::u16string(i18n::kLanguages[id - kFirstLanguageCommand].locale));
  } else if (id >= kFirstThemeCommand && id < kFirstThemeCommand + kThemeCount) {
    ChooseTheme(state, std::u16string(i18n::kThemeIds[id - kFirstThemeCommand]));
  }
}

void OnProgressTimer(MainWindowState& state, const TimerMessage& timer) {
  if (timer.id != kProgressTimer || !state.controller.IsScanning()) return;
  state.uiState = UiState::Scanning;
  ShowScanLine(state);
  ShowScanOnTaskbar(state);
}

void OnScanFinished(MainWindowState& state) {
  ::KillTimer(state.window, kProgressTimer);
  state.taskbarProgress.Clear(state.window);
  ShowFinishedResult(state, state.controller.TakeLatestResult(), /*fromFile=*/false);
}

void EndScanFileWork(MainWindowState& state) {
  state.scanFileBusy = false;
  if (!state.scanWaitsForFile) return;
  state.scanWaitsForFile = false;
  StartScan(state);
}

void ShowFinishedResult(MainWindowState& state, core::ScanResult result, bool fromFile) {
  // An opened file replaces lists that may still show a scan.
  if (fromFile) ClearRankingLists(state);
  state.resultFromFile = fromFile;
  // Ranking a huge tree may run out of memory even when the scan did not:
  // the window stays, and the status bar says so (scan_handover.h).
  HandOverScanResult(state.ranking, std::move(result));
  // A hand-over that ran out of memory leaves a fresh model, on logical
  // sizes.
  state.ranking.SetSizeBasis(state.settings.sizeBasis);
  ShowRankingModel(state);
  SetInputsEnabled(state, true);
  state.uiState = UiState::Finished;
  ShowScanLine(state);
  if (!fromFile) KeepFinishedScan(state);
}

void OnDeviceChange(MainWindowState& state, const DeviceChangeMessage& change) {
  if (!change.drivesMayHaveChanged) return;
  // Every volume is asked for its label and size, and a drive that spins
  // up or a card reader takes its time: the worker asks.
  AskOffWindowThread<std::vector<app::DriveInfo>>(
      state, state.controller.DriveEnumerator(),
      [](MainWindowState& state, const std::vector<app::DriveInfo>& drives) {
        const SelectorMemory before =
            RememberSelection(SelectorIndex(state), state.selectedFolder, state.controller.drives);
        state.controller.drives = drives;
        FillSelector(state);
        if (before.index < 0) return;
        SelectSelectorItem(state,
                           ReselectedIndex(before, state.selectedFolder, state.controller.drives));
      });
}

void OnBackgroundAnswers(MainWindowState& state) { state.answers.Deliver(); }

}  // namespace ombrix::ui
