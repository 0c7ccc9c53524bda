#include "ui/main_window_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <cstring>
#include <string>
#include <vector>

#include <commctrl.h>
#include <dbt.h>
#include <shlobj.h>

#include "app/application_controller.h"
#include "app/settings/settings_files.h"
#include "app/settings/settings_store.h"
#include "base/win/wide_string_win.h"
#include "ui/control_ids.h"
#include "ui/main_window_state_win.h"
#include "tests/support/failing_allocator.h"

namespace ombrix::ui {
namespace {

// The real main window in this process, with its settings in a fresh
// temporary folder. Menus live in their process under Wine, so this is
// where the menu bar is checked.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / "ombrix-main-window-test";
    std::filesystem::remove_all(folder_);
    Create();
  }

  // The window anew, reading whatever settings file is there now.
  void Create() {
    if (state_ && ::IsWindow(state_->window)) ::DestroyWindow(state_->window);
    DrainQuit();
    state_.reset();
    const std::u16string settingsPath = (folder_ / "ombrix.settings.json").u16string();
    state_ = std::make_unique<MainWindowState>(
        ::GetModuleHandleW(nullptr), app::SettingsStore(settingsPath, app::SystemSettingsFiles()),
        StartupSeams{});
    ASSERT_TRUE(RegisterMainWindowClass(*state_) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    ASSERT_NE(CreateMainWindow(*state_, u"Ombrix"), nullptr);
  }
  void TearDown() override {
    if (state_ && ::IsWindow(state_->window)) ::DestroyWindow(state_->window);
    DrainQuit();
    state_.reset();
    std::filesystem::remove_all(folder_);
  }

  // The window's WM_DESTROY posts the quit meant for a message loop.
  static void DrainQuit() {
    MSG quit;
    while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  void WriteSettings(const std::string& recentFoldersJson) {
    std::filesystem::create_directories(folder_);
    std::ofstream file(folder_ / "ombrix.settings.json", std::ios::binary);
    file << "{\"language\": \"en-US\", \"theme\": \"Dark\", \"recentFolders\": "
         << recentFoldersJson << "}";
  }

  // A folder path as JSON text (backslashes doubled).
  static std::string Json(const std::filesystem::path& path) {
    std::string text = "\"";
    for (char c : path.string()) {
      if (c == '\\') text += '\\';
      text += c;
    }
    return text + "\"";
  }

  std::u16string StatusText() {
    wchar_t text[512] = {};
    ::SendMessageW(state_->controls.statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return base::FromWide(text);
  }

  std::u16string SelectorItem(int index) {
    wchar_t text[1024] = {};
    ::SendMessageW(state_->controls.selector, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return base::FromWide(text);
  }

  int SelectorIndex() {
    return static_cast<int>(::SendMessageW(state_->controls.selector, CB_GETCURSEL, 0, 0));
  }

  // WM_DROPFILES as the shell sends it.
  void Drop(const std::vector<std::filesystem::path>& paths) {
    std::wstring names;
    for (const auto& path : paths) names += path.wstring() + L'\0';
    names += L'\0';
    const HGLOBAL memory =
        ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size() * 2);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size() * 2);
    ::GlobalUnlock(memory);
    ::SendMessageW(state_->window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  }

  void Command(int id) { ::SendMessageW(state_->window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  std::u16string ItemText(HMENU menu, int position) {
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return base::FromWide(text);
  }

  bool Checked(int id) {
    return (::GetMenuState(::GetMenu(state_->window), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
  }

  std::string SavedSettings() {
    std::ifstream file(folder_ / "ombrix.settings.json", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

  std::filesystem::path folder_;
  std::unique_ptr<MainWindowState> state_;
};

TEST_F(MainWindowTest, MenuBarAndCaptionsFollowTheChosenLanguage) {
  Command(kFirstLanguageCommand);  // English
  const std::u16string englishFile = ItemText(::GetMenu(state_->window), 0);
  EXPECT_EQ(englishFile, state_->language.Translate("menu.file"));
  EXPECT_TRUE(Checked(kFirstLanguageCommand));
  EXPECT_FALSE(Checked(kSystemLanguageCommand));

  Command(kFirstLanguageCommand + 3);  // Deutsch
  const HMENU bar = ::GetMenu(state_->window);
  ASSERT_EQ(::GetMenuItemCount(bar), 3);
  EXPECT_EQ(ItemText(bar, 0), state_->language.Translate("menu.file"));
  EXPECT_NE(ItemText(bar, 0), englishFile);
  EXPECT_EQ(ItemText(bar, 2), state_->language.Translate("menu.help"));
  EXPECT_TRUE(Checked(kFirstLanguageCommand + 3));
  EXPECT_FALSE(Checked(kFirstLanguageCommand));
  wchar_t caption[64] = {};
  ::GetWindowTextW(state_->controls.scanButton, caption, 64);
  EXPECT_EQ(base::FromWide(caption), state_->language.Translate("toolbar.scan"));
  EXPECT_NE(SavedSettings().find("\"language\": \"de-DE\""), std::string::npos);

  // File > Recent folders holds one disabled "(none)" while the list is empty.
  const HMENU recent = ::GetSubMenu(::GetSubMenu(bar, 0), 0);
  ASSERT_EQ(::GetMenuItemCount(recent), 1);
  EXPECT_EQ(ItemText(recent, 0), state_->language.Translate("menu.none"));
  EXPECT_NE(::GetMenuState(recent, 0, MF_BYPOSITION) & MF_GRAYED, 0u);
}

TEST_F(MainWindowTest, ThemeCheckMarkMovesWithTheChoice) {
  EXPECT_TRUE(Checked(kFirstThemeCommand + 7));  // MysticForest, the default
  Command(kFirstThemeCommand);                   // JuicyPlum
  EXPECT_TRUE(Checked(kFirstThemeCommand));
  EXPECT_FALSE(Checked(kFirstThemeCommand + 7));
  EXPECT_EQ(state_->themeId, u"JuicyPlum");
  EXPECT_NE(SavedSettings().find("\"theme\": \"JuicyPlum\""), std::string::npos);
}

TEST_F(MainWindowTest, StatusBarStartsReady) {
  EXPECT_EQ(StatusText(), state_->language.Translate("status.ready"));
}

TEST_F(MainWindowTest, RecentFolderThatVanishedIsRemovedAndTold) {
  const auto present = folder_ / "present";
  std::filesystem::create_directories(present);
  WriteSettings("[" + Json(folder_ / "gone") + ", " + Json(present) + "]");
  Create();
  ASSERT_EQ(state_->settings.recentFolders.size(), 2u);
  Command(kFirstRecentFolderCommand);
  EXPECT_EQ(StatusText(), state_->language.Translate("status.recent_missing"));
  ASSERT_EQ(state_->settings.recentFolders.size(), 1u);
  EXPECT_EQ(state_->settings.recentFolders[0], present.u16string());
  EXPECT_EQ(::GetMenuItemCount(state_->recentFoldersMenu), 1);
  EXPECT_NE(SavedSettings().find("present"), std::string::npos);
  EXPECT_EQ(SavedSettings().find("gone"), std::string::npos);

  Command(kFirstRecentFolderCommand);
  EXPECT_EQ(StatusText(), state_->language.Translate("status.folder_selected"));
  EXPECT_EQ(SelectorIndex(), 1);
  EXPECT_EQ(SelectorItem(1), state_->language.Translate("combo.folder_prefix") + present.u16string());
}

TEST_F(MainWindowTest, DroppedFolderIsChosenAndAFileIsRefused) {
  const auto dropped = folder_ / "dropped";
  std::filesystem::create_directories(dropped);
  std::ofstream(folder_ / "file.txt") << "x";
  Drop({folder_ / "file.txt"});
  EXPECT_EQ(StatusText(), state_->language.Translate("status.drop_folder"));
  EXPECT_TRUE(state_->selectedFolder.empty());
  Drop({folder_ / "file.txt", dropped});
  EXPECT_EQ(state_->selectedFolder, dropped.u16string());
  EXPECT_EQ(SelectorIndex(), 1);
  ASSERT_FALSE(state_->settings.recentFolders.empty());
  EXPECT_EQ(state_->settings.recentFolders[0], dropped.u16string());
  wchar_t text[1024] = {};
  ::GetMenuStringW(state_->recentFoldersMenu, 0, text, 1024, MF_BYPOSITION);
  EXPECT_EQ(base::FromWide(text), u"1 " + dropped.u16string());
}

TEST_F(MainWindowTest, DeviceChangeKeepsTheChosenItem) {
  const int count = static_cast<int>(::SendMessageW(state_->controls.selector, CB_GETCOUNT, 0, 0));
  const int last = count - 1;
  ::SendMessageW(state_->controls.selector, CB_SETCURSEL, last, 0);
  ::SendMessageW(state_->window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
  EXPECT_EQ(SelectorIndex(), last);
  ::SendMessageW(state_->controls.selector, CB_SETCURSEL, 0, 0);
  ::SendMessageW(state_->window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
  EXPECT_EQ(SelectorIndex(), 0);
  // Other events change nothing.
  ::SendMessageW(state_->window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
  EXPECT_EQ(SelectorIndex(), 0);
}

TEST_F(MainWindowTest, OpenWithoutARankingSelectionAsksForOne) {
  Command(kOpenButtonId);
  EXPECT_EQ(StatusText(), state_->language.Translate("status.select_ranking"));
}

TEST_F(MainWindowTest, FailedSaveIsToldAndTheThemeStays) {
  // A folder where the settings file should be: every save fails.
  std::filesystem::create_directories(folder_ / "ombrix.settings.json");
  Command(kFirstThemeCommand + 10);  // Light
  EXPECT_EQ(StatusText(), state_->language.Translate("status.save_failed"));
  EXPECT_NE(state_->themeId, u"Light");
}

// Running out of memory while the finished result is ranked: the window
// stays, the lists stay empty and the status bar tells why.
TEST_F(MainWindowTest, OutOfMemoryInTheScanHandOverKeepsTheWindow) {
  for (std::uint64_t successes : {0u, 1u, 4u}) {
    {
      std::lock_guard lock(state_->controller.scanMutex);
      core::ScanResult result;
      result.status = core::ScanStatus::Completed;
      result.rootPath = u"C:\\r";
      result.nodes.resize(3);
      for (std::uint64_t i = 0; i < 3; ++i) {
        result.nodes[i].id = i;
        result.nodes[i].parent = i == 0 ? core::kNoNode : 0;
        result.nodes[i].isDirectory = 1;
        result.nodes[i].path = u"C:\\r" + std::u16string(i, u'x');
      }
      result.nodes[0].children = {1, 2};
      result.rootIndex = 0;
      state_->controller.latestResult = std::move(result);
    }
    {
      test::AllocationFailureScope scope(successes, test::FailingThreads::Any, 1);
      ::SendMessageW(state_->window, app::kScanFinishedMessage, 0, 0);
    }
    ASSERT_TRUE(::IsWindow(state_->window));
    EXPECT_EQ(StatusText(), app::kScanOutOfMemoryMessage) << successes;
    EXPECT_EQ(::SendMessageW(state_->controls.foldersList, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(::IsWindowEnabled(state_->controls.scanButton));
  }
}

}  // namespace
}  // namespace ombrix::ui
