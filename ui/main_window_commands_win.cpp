#include "ui/main_window_commands_win.h"

#include <windows.h>

#include <string>

#include "i18n/language_table.h"
#include "i18n/theme_palette.h"
#include "ui/about_dialog_win.h"
#include "ui/control_ids.h"
#include "ui/main_window_view_win.h"
#include "ui/menu_bar_win.h"
#include "ui/scan_settings_choice.h"
#include "ui/scan_settings_dialog_win.h"

namespace ombrix::ui {
namespace {

void EditScanSettings(MainWindowState& state) {
  ScanSettingsValues values = ScanSettingsValuesFrom(state.settings);
  if (!ShowScanSettingsDialog(state.instance, state.window, &state.language, values)) return;
  StoreScanSettingsValues(values, state.settings);
  // A failed save keeps the choice in memory; only a saved thread count
  // reaches the next scan.
  if (state.settingsStore.SaveSettings(state.settings)) {
    state.controller.SetThreadsPerDrive(state.settings.threadsPerDrive);
  }
}

void ChooseLanguage(MainWindowState& state, std::u16string setting) {
  state.settings.language = std::move(setting);
  state.language.SetLanguage(state.settings.language);
  state.language.EnsureLanguageLoaded(state.language.ResolveLanguage());
  if (!state.settingsStore.SaveSettings(state.settings)) return;
  RetextMainWindow(state);
}

void ChooseTheme(MainWindowState& state, std::u16string themeId) {
  state.settings.theme = themeId;
  if (!state.settingsStore.SaveSettings(state.settings)) return;
  SetTheme(state, themeId);
  ApplyMainWindowTheme(state);
  InstallMenuBar(state);
}

}  // namespace

void OnMainWindowCommand(MainWindowState& state, const CommandMessage& command) {
  const int id = command.id;
  constexpr int kLanguageCount = static_cast<int>(i18n::kLanguages.size());
  constexpr int kThemeCount = static_cast<int>(i18n::kThemeIds.size());
  if (id == kExitCommand) {
    ::SendMessageW(state.window, WM_CLOSE, 0, 0);
  } else if (id == kScanSettingsCommand) {
    EditScanSettings(state);
  } else if (id == kAboutCommand) {
    ShowAboutDialog(state.instance, state.window, state.language);
  } else if (id == kSystemLanguageCommand) {
    ChooseLanguage(state, std::u16string(i18n::kSystemLanguageSetting));
  } else if (id >= kFirstLanguageCommand && id < kFirstLanguageCommand + kLanguageCount) {
    ChooseLanguage(state, std::u16string(i18n::kLanguages[id - kFirstLanguageCommand].locale));
  } else if (id >= kFirstThemeCommand && id < kFirstThemeCommand + kThemeCount) {
    ChooseTheme(state, std::u16string(i18n::kThemeIds[id - kFirstThemeCommand]));
  }
}

}  // namespace ombrix::ui
