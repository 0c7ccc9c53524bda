// Everything the main window works with, in one object built by the start-up
// before the window exists and handed to it as its creation parameter; the
// window procedure finds it again in the window's user data. Lives on the
// window thread for the whole run; the scan thread sees only the
// controller's shared fields.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "app/answer_mailbox.h"
#include "app/application_controller.h"
#include "app/application_controller_win.h"
#include "app/background_disposer.h"
#include "app/background_worker.h"
#include "app/ranking/folder_ranking_model.h"
#include "app/ranking/row_texts.h"
#include "app/settings/app_settings.h"
#include "app/settings/settings_store.h"
#include "base/win/unique_handle_win.h"
#include "i18n/language_strings.h"
#include "i18n/theme_palette.h"
#include "ui/find/find_state.h"
#include "ui/window/folder_queries.h"
#include "ui/window/main_window_layout.h"
#include "ui/window/taskbar_progress_win.h"
#include "ui/common/ui_fonts_win.h"

namespace ombrix::ui {

// The earlier scan a comparison is made with, as the status line names it.
struct ComparedScan {
  std::u16string root;
  std::uint64_t scanTime = 0;  // UTC FILETIME; 0 when the file had none
};

// What the start-up asks of the system about rights, replaceable because
// Wine always runs programs as an administrator, never shows a consent
// prompt and filters no messages between processes.
struct StartupSeams {
  std::function<bool()> isProcessElevated;
  // ERROR_SUCCESS when an elevated instance was started (elevation_win.h).
  std::function<DWORD(const std::u16string& executablePath)> launchElevated;
  // Lets `message` reach the window from processes with fewer rights
  // (ChangeWindowMessageFilterEx); Wine has no such filter.
  std::function<bool(HWND window, UINT message)> allowMessageFromLowerRights;
};

StartupSeams SystemStartupSeams();

// Posted by the background worker when answers wait in the state's mailbox.
inline constexpr UINT kBackgroundAnswersMessage = WM_APP + 2;
// Posted by the find's worker when its latest answer waits.
inline constexpr UINT kFindAnswerMessage = WM_APP + 25;
// Posted by the File types' worker when its latest breakdown waits.
inline constexpr UINT kTypesAnswerMessage = WM_APP + 26;

struct MainWindowControls {
  HWND selector = nullptr;
  HWND scanButton = nullptr;
  HWND cancelButton = nullptr;
  HWND folderButton = nullptr;
  HWND openButton = nullptr;
  HWND findBox = nullptr;
  HWND foldersList = nullptr;
  HWND filesList = nullptr;
  HWND foundList = nullptr;
  HWND typesList = nullptr;
  HWND subfoldersList = nullptr;
  HWND statusBar = nullptr;
};

// Which status line a language change shows again.
enum class UiState : std::uint32_t {
  Idle = 0,
  Scanning = 2,
  Finished = 3,
};

struct MainWindowState {
  // The controller's platform is the system's unless a test hands in fakes.
  MainWindowState(HINSTANCE instance, app::SettingsStore store, StartupSeams startupSeams,
                  app::ControllerPlatform controllerPlatform = app::SystemControllerPlatform());

  HINSTANCE instance;
  StartupSeams seams;
  app::SettingsStore settingsStore;
  app::AppSettings settings;
  i18n::LanguageStrings language;
  std::u16string themeId;
  i18n::ThemePalette palette;
  app::ApplicationController controller;

  // The class's icons, at the system's base sizes.
  base::UniqueIcon largeIcon;
  base::UniqueIcon smallIcon;
  // The window's own caption and taskbar icons, drawn from the icon's
  // images for the window's DPI.
  base::UniqueIcon windowLargeIcon;
  base::UniqueIcon windowSmallIcon;

  HWND window = nullptr;
  MainWindowControls controls;
  // The child that had the keyboard focus when the window was deactivated.
  HWND lastFocus = nullptr;
  // Owned by the menu bar, which the window destroys with itself.
  HMENU recentFoldersMenu = nullptr;

  std::uint32_t dpi = 96;
  UiFont font;
  ClientSize client;
  SplitterPositions splitters;
  Splitter dragMode = Splitter::None;
  UiState uiState = UiState::Idle;
  // The key of a notice shown instead of a scan line ("status.ready", a
  // failed save, ...); null while the status bar shows the empty text or a
  // scan line. Kept so a language change shows it again in the new words.
  const char* statusNotice = nullptr;

  // The finished scan the three lists show, with their rows.
  app::FolderRankingModel ranking;
  // The lists show a scan opened from a file, not one made here.
  bool resultFromFile = false;
  // A scan file is being read or written on the worker (saved_scan_commands_win.h).
  bool scanFileBusy = false;
  // Scan was pressed meanwhile: the scan starts as soon as the file is done.
  bool scanWaitsForFile = false;
  // The On disk column's marks in the current language.
  app::SizeMarkTexts sizeMarks;
  // The Change column's words, in the window's language.
  app::ChangeTexts changeTexts;
  // The scan the shown one is compared with, while the ranking model holds
  // a comparison.
  ComparedScan comparedWith;
  // The File types list's row of files without an extension.
  std::u16string noExtensionText;
  // The used space of the drives being scanned (none for a folder), and
  // the taskbar button's progress against it.
  std::optional<std::uint64_t> scanUsedSpace;
  TaskbarProgress taskbarProgress;
  // The folder item of the selector; empty when none was chosen.
  std::u16string selectedFolder;
  // Set while the window itself changes a list's selection, so the
  // notifications that causes are not taken for the user's.
  bool changingSelection = false;
  // Only the answer to the latest Folder click opens the picker, and never
  // a second one over it.
  std::uint64_t folderPickerRequest = 0;
  bool folderPickerOpen = false;

  // The find box's answers; its worker reads the ranking's result.
  FindState find;

  FolderQueries folderQueries;
  // Work kept off the window thread. The worker is declared after the
  // mailbox its jobs fill, so it is joined before the mailbox goes.
  app::AnswerMailbox answers;
  app::BackgroundWorker backgroundQueries;
  app::BackgroundDisposer<core::ScanResult> oldResults;
};

// Sets the theme id and the palette that goes with it.
void SetTheme(MainWindowState& state, const std::u16string& themeId);

// Asks `question` on the background worker; `use` takes the answer on the
// window thread (kBackgroundAnswersMessage). The question is copied to the
// worker: it must hold only values, never the state.
template <typename Answer>
void AskOffWindowThread(MainWindowState& state, std::function<Answer()> question,
                        std::function<void(MainWindowState&, const Answer&)> use) {
  MainWindowState* window = &state;
  app::AskInBackground<Answer>(
      state.backgroundQueries, state.answers, std::move(question),
      [window, use = std::move(use)](const Answer& answer) { use(*window, answer); });
}

}  // namespace ombrix::ui
