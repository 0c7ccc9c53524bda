#include "ui/main_window_state_win.h"

#include <utility>

#include "app/application_controller_win.h"
#include "core/process_elevation_win.h"
#include "i18n/language_environment.h"
#include "ui/elevation_win.h"

namespace ombrix::ui {

StartupSeams SystemStartupSeams() {
  StartupSeams seams;
  seams.isProcessElevated = core::IsProcessElevated;
  seams.launchElevated = LaunchElevated;
  return seams;
}

MainWindowState::MainWindowState(HINSTANCE instance, app::SettingsStore store,
                                 StartupSeams startupSeams)
    : instance(instance),
      seams(std::move(startupSeams)),
      settingsStore(std::move(store)),
      settings(app::DefaultSettings(settingsStore.hardwareThreads())),
      language(i18n::SystemLanguageEnvironment()),
      controller(app::SystemControllerPlatform()) {
  language.SetLanguage(u"system");
  SetTheme(*this, u"MysticForest");
  controller.RefreshDrives();
}

void SetTheme(MainWindowState& state, const std::u16string& themeId) {
  state.themeId = themeId;
  state.palette = i18n::PaletteForTheme(themeId);
}

}  // namespace ombrix::ui
