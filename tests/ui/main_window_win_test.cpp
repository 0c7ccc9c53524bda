#include "ui/main_window_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "app/settings/settings_files.h"
#include "app/settings/settings_store.h"
#include "base/win/wide_string_win.h"
#include "ui/control_ids.h"
#include "ui/main_window_state_win.h"

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
    const std::u16string settingsPath = (folder_ / "ombrix.settings.json").u16string();
    state_ = std::make_unique<MainWindowState>(
        ::GetModuleHandleW(nullptr), app::SettingsStore(settingsPath, app::SystemSettingsFiles()),
        StartupSeams{});
    ASSERT_TRUE(RegisterMainWindowClass(*state_) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    ASSERT_NE(CreateMainWindow(*state_, u"Ombrix"), nullptr);
  }
  void TearDown() override {
    if (state_ && ::IsWindow(state_->window)) ::DestroyWindow(state_->window);
    // The window's WM_DESTROY posts the quit meant for a message loop.
    MSG quit;
    while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    state_.reset();
    std::filesystem::remove_all(folder_);
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

}  // namespace
}  // namespace ombrix::ui
