#include "ui/window/main_window_state_win.h"

#include <utility>

#include "app/application_controller_win.h"
#include "core/process_elevation_win.h"
#include "i18n/language_environment.h"
#include "ui/startup/elevation_win.h"
#include "ui/window/folder_queries_win.h"

namespace ombrix::ui {

StartupSeams SystemStartupSeams() {
  StartupSeams seams;
  seams.isProcessElevated = core::IsProcessElevated;
  seams.launchElevated = LaunchElevated;
  seams.allowMessageFromLowerRights = [](HWND window, UINT message) {
    return ::ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr) != FALSE;
  };
  return seams;
}

MainWindowState::MainWindowState(HINSTANCE instance, app::SettingsStore store,
                                 StartupSeams startupSeams,
                                 app::ControllerPlatform controllerPlatform)
    : instance(instance),
      seams(std::move(startupSeams)),
      settingsStore(std::move(store)),
      settings(app::DefaultSettings(settingsStore.hardwareThreads())),
      language(i18n::SystemLanguageEnvironment()),
      // Lists the drives once, as it is made.
      controller(std::move(controllerPlatform)),
      find([this] { ::PostMessageW(window, kFindAnswerMessage, 0, 0); },
           [this] { ::PostMessageW(window, kTypesAnswerMessage, 0, 0); }),
      folderQueries(SystemFolderQueries()),
      // The window exists before anything is asked, and is never replaced.
      answers([this] { ::PostMessageW(window, kBackgroundAnswersMessage, 0, 0); }) {
  language.SetLanguage(u"system");
  SetTheme(*this, u"MysticForest");
}

void SetTheme(MainWindowState& state, const std::u16string& themeId) {
  state.themeId = themeId;
  state.palette = i18n::PaletteForTheme(themeId);
}

}  // namespace ombrix::ui
