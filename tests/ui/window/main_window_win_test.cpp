#include "ui/window/main_window_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
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
#include "app/application_controller_win.h"
#include "app/saved/scan_files.h"
#include "app/saved/kept_scans.h"
#include "app/settings/settings_files.h"
#include "app/settings/settings_store.h"
#include "base/text_encoding.h"
#include "base/win/wide_string_win.h"
#include "core/scan_tree_builder.h"
#include "ui/common/control_ids.h"
#include "ui/saved/compare_commands_win.h"
#include "ui/saved/saved_scan_commands_win.h"
#include "ui/window/folder_queries_win.h"
#include "ui/window/main_window_state_win.h"
#include "ui/startup/startup_win.h"
#include "tests/support/failing_allocator.h"
#include "tests/support/fake_scan_engine.h"
#include "tests/ui/window_robot_win.h"

namespace ombrix::ui {
namespace {

// The real main window in this process, with its settings in a fresh
// temporary folder. Menus live in their process under Wine, so this is
// where the menu bar is checked.
// Runs the thread's messages until `done` holds; false after timeoutMs
// without.
bool PumpMessagesUntil(const std::function<bool()>& done, ULONGLONG timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  while (!done()) {
    if (::GetTickCount64() > deadline) return false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    ::Sleep(1);
  }
  return true;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // One folder per process: ctest runs these cases in parallel.
    folder_ = std::filesystem::temp_directory_path() /
              ("ombrix-main-window-test-" + std::to_string(::GetCurrentProcessId()));
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
        seams_, platform_);
    if (folderQueries_.isFolder) state_->folderQueries = folderQueries_;
    ASSERT_TRUE(RegisterMainWindowClass(*state_) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
    ASSERT_NE(CreateMainWindow(*state_, u"Ombrix"), nullptr);
  }
  void TearDown() override {
    if (state_ && ::IsWindow(state_->window)) ::DestroyWindow(state_->window);
    DrainQuit();
    state_.reset();
    std::filesystem::remove_all(folder_);
  }

  // Runs the window's messages until `done` holds (the background worker's
  // answers arrive as messages); false after ten seconds without.
  static bool PumpUntil(const std::function<bool()>& done, ULONGLONG timeoutMs = 10000) {
    return PumpMessagesUntil(done, timeoutMs);
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
  // What Create() hands the state; tests change them before calling it.
  StartupSeams seams_;
  app::ControllerPlatform platform_ = app::SystemControllerPlatform();
  FolderQueries folderQueries_;
  std::unique_ptr<MainWindowState> state_;
};

// A finished scan of a small tree handed to the window, and kept when the
// settings say so (below).
void FinishScan(MainWindowState& state, core::ScanStatus status = core::ScanStatus::Completed);

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
  const HMENU recent = ::GetSubMenu(::GetSubMenu(bar, 0), 5);
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

// Settings > Sizes: the lists rank by size on disk at once, the check mark
// moves, and the choice is saved.
TEST_F(MainWindowTest, SizeBasisReranksTheListsAndIsSaved) {
  ::ShowWindow(state_->window, SW_SHOW);
  FinishScan(*state_);
  const auto firstFileName = [&] {
    LVITEMW item{};
    wchar_t text[64] = {};
    item.pszText = text;
    item.cchTextMax = 64;
    item.iSubItem = static_cast<int>(app::FileColumn::Name);
    ::SendMessageW(state_->controls.filesList, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    return base::FromWide(text);
  };
  EXPECT_TRUE(Checked(kLogicalSizesCommand));
  EXPECT_EQ(firstFileName(), u"big.bin");
  Command(kSizesOnDiskCommand);
  EXPECT_TRUE(Checked(kSizesOnDiskCommand));
  EXPECT_FALSE(Checked(kLogicalSizesCommand));
  EXPECT_EQ(state_->ranking.Basis(), core::SizeBasis::OnDisk);
  EXPECT_EQ(firstFileName(), u"small.txt");
  EXPECT_NE(SavedSettings().find("\"sizeBasis\": \"disk\""), std::string::npos);
  Command(kLogicalSizesCommand);
  EXPECT_EQ(firstFileName(), u"big.bin");
}

// Windows drops a drop from a non-elevated Explorer on an elevated window
// unless the window lets its messages through; Wine filters nothing, so the
// call is checked at its seam, and the real one against Wine's stub.
TEST_F(MainWindowTest, DropsAreLetThroughFromAnExplorerWithFewerRights) {
  std::vector<UINT> allowed;
  seams_.allowMessageFromLowerRights = [&](HWND window, UINT message) {
    EXPECT_NE(window, nullptr);
    allowed.push_back(message);
    return true;
  };
  Create();
  EXPECT_EQ(allowed, (std::vector<UINT>{WM_DROPFILES, WM_COPYDATA, 0x0049}));
  EXPECT_TRUE(SystemStartupSeams().allowMessageFromLowerRights(state_->window, WM_DROPFILES));
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
  ASSERT_TRUE(PumpUntil([&] { return state_->settings.recentFolders.size() == 1; }));
  EXPECT_EQ(StatusText(), state_->language.Translate("status.recent_missing"));
  ASSERT_EQ(state_->settings.recentFolders.size(), 1u);
  EXPECT_EQ(state_->settings.recentFolders[0], present.u16string());
  EXPECT_EQ(::GetMenuItemCount(state_->recentFoldersMenu), 1);
  EXPECT_NE(SavedSettings().find("present"), std::string::npos);
  EXPECT_EQ(SavedSettings().find("gone"), std::string::npos);

  Command(kFirstRecentFolderCommand);
  ASSERT_TRUE(PumpUntil([&] { return !state_->selectedFolder.empty(); }));
  EXPECT_EQ(StatusText(), state_->language.Translate("status.folder_selected"));
  EXPECT_EQ(SelectorIndex(), 1);
  EXPECT_EQ(SelectorItem(1), state_->language.Translate("combo.folder_prefix") + present.u16string());
}

// A drive this process cannot see (an elevated process does not see the
// drives the user mapped; here a letter Wine has not mapped) may still hold
// the folder: the entry is kept and the settings are not rewritten.
TEST_F(MainWindowTest, RecentFolderOnADriveThisProcessCannotSeeIsKept) {
  ASSERT_FALSE(SystemFolderQueries().isFolder(u"Q:\\")) << "Q: is mapped in this prefix";
  WriteSettings("[\"Q:\\\\Projects\", " + Json(folder_) + "]");
  Create();
  const std::string saved = SavedSettings();
  Command(kFirstRecentFolderCommand);
  ASSERT_TRUE(PumpUntil(
      [&] { return StatusText() == state_->language.Translate("status.recent_unreachable"); }));
  EXPECT_EQ(state_->settings.recentFolders.size(), 2u);
  EXPECT_EQ(::GetMenuItemCount(state_->recentFoldersMenu), 2);
  EXPECT_EQ(SavedSettings(), saved);
  EXPECT_TRUE(state_->selectedFolder.empty());
}

TEST_F(MainWindowTest, DroppedFolderIsChosenAndAFileIsRefused) {
  const auto dropped = folder_ / "dropped";
  std::filesystem::create_directories(dropped);
  std::ofstream(folder_ / "file.txt") << "x";
  Drop({folder_ / "file.txt"});
  ASSERT_TRUE(PumpUntil(
      [&] { return StatusText() == state_->language.Translate("status.drop_folder"); }));
  EXPECT_TRUE(state_->selectedFolder.empty());
  Drop({folder_ / "file.txt", dropped});
  ASSERT_TRUE(PumpUntil([&] { return state_->selectedFolder == dropped.u16string(); }));
  // The recent list follows once the worker has compared the spellings.
  ASSERT_TRUE(PumpUntil([&] { return !state_->settings.recentFolders.empty(); }));
  EXPECT_EQ(SelectorIndex(), 1);
  EXPECT_EQ(state_->settings.recentFolders[0], dropped.u16string());
  wchar_t text[1024] = {};
  ::GetMenuStringW(state_->recentFoldersMenu, 0, text, 1024, MF_BYPOSITION);
  EXPECT_EQ(base::FromWide(text), u"&1 " + dropped.u16string());
}

TEST_F(MainWindowTest, DeviceChangeKeepsTheChosenItem) {
  std::atomic<int> listings{0};
  platform_.enumerateDrives = [&] {
    // A drive arrives after the first listing, in front of the others.
    std::vector<app::DriveInfo> drives(listings++ == 0 ? 2 : 3);
    for (std::size_t i = 0; i < drives.size(); ++i) {
      drives[i].rootPath = std::u16string(1, static_cast<char16_t>(u'E' - drives.size() + i)) + u":\\";
      drives[i].displayText = drives[i].rootPath;
    }
    return drives;
  };
  Create();
  EXPECT_EQ(listings, 1);  // once, as the window is made
  ::SendMessageW(state_->controls.selector, CB_SETCURSEL, 2, 0);  // D:
  ::SendMessageW(state_->window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
  ASSERT_TRUE(PumpUntil([&] { return state_->controller.drives.size() == 3; }));
  EXPECT_EQ(SelectorItem(SelectorIndex()), u"D:\\");
  ::SendMessageW(state_->controls.selector, CB_SETCURSEL, 0, 0);
  ::SendMessageW(state_->window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
  ASSERT_TRUE(PumpUntil([&] { return listings == 3; }));
  PumpUntil([] { return false; }, 300);  // the answer's use
  EXPECT_EQ(SelectorIndex(), 0);
  // Other events change nothing.
  ::SendMessageW(state_->window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(listings, 3);
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
      core::ScanTreeBuilder builder;
      const std::uint64_t root = builder.AddRoot(u"r", u"C:\\r", core::kAttributeDirectory, 0);
      builder.AddDirectory(root, u"x", core::kAttributeDirectory, 0);
      builder.AddDirectory(root, u"xx", core::kAttributeDirectory, 0);
      builder.ComputeTotals();
      state_->controller.latestResult =
          builder.BuildResult(core::ScanStatus::Completed, u"C:\\r", 0);
    }
    {
      test::AllocationFailureScope scope(successes, test::FailingThreads::Any, 1);
      ::SendMessageW(state_->window, app::kScanFinishedMessage, 0, 0);
    }
    ASSERT_TRUE(::IsWindow(state_->window));
    // The completion line in the user's language, the failure after it.
    const std::u16string line = StatusText();
    EXPECT_EQ(line.rfind(state_->language.Translate("status.completed"), 0), 0u) << successes;
    EXPECT_TRUE(line.ends_with(std::u16string(u" - ") + app::kScanOutOfMemoryMessage))
        << successes;
    EXPECT_EQ(::SendMessageW(state_->controls.foldersList, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(::IsWindowEnabled(state_->controls.scanButton));
  }
}

std::u16string HeaderText(HWND list, int column) {
  const HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  wchar_t text[128] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT;
  item.pszText = text;
  item.cchTextMax = 128;
  ::SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
  return base::FromWide(text);
}

// A list's cell text as the list gives it.
std::u16string ListText(HWND list, int row, int column) {
  LVITEMW item{};
  wchar_t text[128] = {};
  item.pszText = text;
  item.cchTextMax = 128;
  item.iSubItem = column;
  ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return base::FromWide(text);
}

// What a click on a list's column header tells the window.
void ClickColumnHeader(const MainWindowState& state, HWND list, int column) {
  NMLISTVIEW click{};
  click.hdr.hwndFrom = list;
  click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = column;
  ::SendMessageW(state.window, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

// The user had turned the Folders list smallest-first; a hand-over that
// ran out of memory starts a fresh model, largest first, and the share
// header says so instead of keeping its arrow up.
TEST_F(MainWindowTest, ShareHeaderFollowsTheOrderAfterAnOutOfMemoryHandOver) {
  FinishScan(*state_);
  const HWND folders = state_->controls.foldersList;
  ClickColumnHeader(*state_, folders, 1);
  ASSERT_FALSE(state_->ranking.shareDescending);
  ASSERT_EQ(HeaderText(folders, 1), state_->language.Translate("column.share_asc"));
  {
    std::lock_guard lock(state_->controller.scanMutex);
    core::ScanTreeBuilder builder;
    const std::uint64_t root = builder.AddRoot(u"r", u"C:\\r", core::kAttributeDirectory, 0);
    builder.AddDirectory(root, u"d", core::kAttributeDirectory, 0);
    builder.ComputeTotals();
    state_->controller.latestResult =
        builder.BuildResult(core::ScanStatus::Completed, u"C:\\r", 0);
  }
  {
    test::AllocationFailureScope scope(0, test::FailingThreads::Any, 1);
    ::SendMessageW(state_->window, app::kScanFinishedMessage, 0, 0);
  }
  EXPECT_TRUE(state_->ranking.shareDescending);
  EXPECT_EQ(HeaderText(folders, 1), state_->language.Translate("column.share_desc"));
}

// A call that hangs until the test lets it go: a file-system query as one
// on an offline network path or a drive that spins up does, or a scan. It
// gives up after ten seconds, so a window that waits for it fails the test
// instead of hanging it.
class HangingCall {
 public:
  void Hang() {
    std::unique_lock lock(mutex_);
    entered_ = true;
    changed_.notify_all();
    changed_.wait_for(lock, std::chrono::seconds(10), [this] { return released_; });
    returned_ = true;
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  bool WaitEntered() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(5), [this] { return entered_; });
  }
  bool Returned() {
    std::lock_guard lock(mutex_);
    return returned_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool entered_ = false;
  bool released_ = false;
  bool returned_ = false;
};

// Nothing that may touch a network path runs on the window thread: the
// command or message returns while the query still hangs, and its answer
// is used once it comes.
TEST_F(MainWindowTest, PathQueriesNeverHoldTheWindowThread) {
  const auto chosen = folder_ / "chosen";
  std::filesystem::create_directories(chosen);
  WriteSettings("[" + Json(chosen) + "]");
  enum class Hangs { IsFolder, ComparableForm, DriveListing };
  struct Case {
    const char* what;
    Hangs hangs;
    std::function<void()> act;
    std::function<bool()> answered;
  };
  const auto folderChosen = [&] { return state_->selectedFolder == chosen.u16string(); };
  const Case cases[] = {
      {"a recent folder", Hangs::IsFolder, [&] { Command(kFirstRecentFolderCommand); },
       folderChosen},
      {"a dropped folder", Hangs::IsFolder, [&] { Drop({chosen}); }, folderChosen},
      // Its answer would open the shell's dialog; the test stops before.
      {"the folder picker's start folder", Hangs::IsFolder, [&] { Command(kFolderButtonId); },
       [] { return true; }},
      {"a new recent folder's other spellings", Hangs::ComparableForm,
       [&] {
         Drop({chosen});
         PumpUntil(folderChosen);
       },
       [&] {
         return state_->settings.recentFolders.size() == 1 &&
                SavedSettings().find("chosen") != std::string::npos;
       }},
      {"the drives after a device change", Hangs::DriveListing,
       [&] { ::SendMessageW(state_->window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0); },
       [&] { return state_->controller.drives.size() == 1; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto hang = std::make_shared<HangingCall>();
    const FolderQueries real = SystemFolderQueries();
    folderQueries_ = real;
    if (c.hangs == Hangs::IsFolder) {
      folderQueries_.isFolder = [hang, real](const std::u16string& path) {
        hang->Hang();
        return real.isFolder(path);
      };
    } else if (c.hangs == Hangs::ComparableForm) {
      folderQueries_.comparableForm = [hang, real](const std::u16string& path) {
        hang->Hang();
        return real.comparableForm(path);
      };
    }
    // No drive at start-up; one (after a wait, when that hangs) later.
    auto listings = std::make_shared<std::atomic<int>>(0);
    const bool drivesHang = c.hangs == Hangs::DriveListing;
    platform_.enumerateDrives = [hang, listings, drivesHang] {
      const bool later = (*listings)++ > 0;
      if (later && drivesHang) hang->Hang();
      app::DriveInfo drive;
      drive.rootPath = drive.displayText = u"C:\\";
      return std::vector<app::DriveInfo>(later ? 1 : 0, drive);
    };
    Create();
    c.act();
    EXPECT_TRUE(hang->WaitEntered()) << "the query was not asked";
    EXPECT_FALSE(hang->Returned()) << "the window thread waited for the query";
    hang->Release();
    EXPECT_TRUE(PumpUntil(c.answered)) << "the answer was not used";
    ++state_->folderPickerRequest;  // no picker after the test has looked
  }
}

// One drive, C:\, whose scan hangs until the test lets it end.
void UseHeldScans(app::ControllerPlatform& platform, std::shared_ptr<HangingCall> held) {
  platform.enumerateDrives = [] {
    app::DriveInfo drive;
    drive.rootPath = drive.displayText = u"C:\\";
    return std::vector<app::DriveInfo>{drive};
  };
  platform.scan.isVolumeRoot = [](const std::u16string&) { return false; };
  platform.scan.engines.makeNtQueryDirectory = [held](std::uint64_t) {
    return std::make_unique<test::FakeScanEngine>(
        [held](const std::u16string& path, core::ScanCancellationToken&,
               const core::ProgressCallback&) {
          held->Hang();
          return test::FakeTree(path, core::ScanEngineKind::NtQueryDirectory, {10, 20}, {});
        });
  };
}

// A key as the message loop meets it: through the window's key handling
// first, dispatched when that leaves it.
void PressKey(HWND window, UINT key, bool shift = false, bool control = false) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = control ? 0x80 : 0;
  ::SetKeyboardState(keys);
  MSG message{::GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
  if (!HandleMainWindowKeys(window, message)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  keys[VK_SHIFT] = 0;
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
}

// Tab and Shift+Tab walk the tool row left to right, the find box and then
// the three lists, passing over what is disabled (Cancel and Open while
// idle) and what is hidden (the found list while the box is empty).
TEST_F(MainWindowTest, TabMovesThroughTheControlsAndPassesDisabledOnes) {
  ::ShowWindow(state_->window, SW_SHOW);
  const MainWindowControls& c = state_->controls;
  const std::vector<HWND> order = {c.selector,    c.folderButton, c.scanButton, c.findBox,
                                   c.foldersList, c.filesList,    c.subfoldersList};
  ::SetFocus(c.selector);
  for (std::size_t i = 1; i <= order.size(); ++i) {
    PressKey(state_->window, VK_TAB);
    EXPECT_EQ(::GetFocus(), order[i % order.size()]) << "Tab " << i;
  }
  for (std::size_t i = order.size(); i-- > 0;) {
    PressKey(state_->window, VK_TAB, true);
    EXPECT_EQ(::GetFocus(), order[i]) << "Shift+Tab to " << i;
  }
}

// Ctrl+F puts the keyboard in the find box; what is typed there lists the
// matching files below the selected folder, largest first, in the Files
// list's place, and the list's keyboard focus goes with it; Open works on
// a found file. Escape empties the box and brings the Files list back.
TEST_F(MainWindowTest, FindBoxListsMatchesInTheFilesListsPlaceUntilEscape) {
  ::ShowWindow(state_->window, SW_SHOW);
  FinishScan(*state_);
  const MainWindowControls& c = state_->controls;
  ::SetFocus(c.filesList);
  PressKey(state_->window, 'F', false, true);
  EXPECT_EQ(::GetFocus(), c.findBox);
  const auto foundCount = [&] { return ::SendMessageW(c.foundList, LVM_GETITEMCOUNT, 0, 0); };
  const auto foundText = [&](int row, int column) { return ListText(c.foundList, row, column); };

  ::SetWindowTextW(c.findBox, L"*.BIN;*.txt");
  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(c.foundList) && foundCount() == 2; }));
  EXPECT_FALSE(::IsWindowVisible(c.filesList));
  EXPECT_EQ(foundText(0, 4), u"C:\\r\\big.bin");
  EXPECT_EQ(foundText(1, 4), u"C:\\r\\docs\\small.txt");
  EXPECT_EQ(foundText(0, 3), u"");  // written at an unknown time
  // A smallest size on the size basis: only big.bin has 2 KB.
  ::SetWindowTextW(c.findBox, L"* >2KB");
  ASSERT_TRUE(PumpUntil([&] { return foundCount() == 1; }));
  EXPECT_EQ(foundText(0, 0), u"big.bin");
  // Text that is no query keeps the rows and says why.
  ::SetWindowTextW(c.findBox, L"* >2XB");
  EXPECT_EQ(StatusText(), state_->language.Translate("status.find_not_understood"));
  EXPECT_EQ(foundCount(), 1);

  LVITEMW select{};
  select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(c.foundList, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
  EXPECT_TRUE(::IsWindowEnabled(c.openButton));

  ::SetFocus(c.findBox);
  PressKey(state_->window, VK_ESCAPE);
  EXPECT_EQ(::GetWindowTextLengthW(c.findBox), 0);
  EXPECT_TRUE(::IsWindowVisible(c.filesList));
  EXPECT_FALSE(::IsWindowVisible(c.foundList));
  EXPECT_FALSE(::IsWindowEnabled(c.openButton));
}

// Ctrl+T (Settings > File types) shows the extensions below the selected
// folder in the Subfolders list's place, the largest first on the size
// basis, with the keyboard focus moved along; a type chosen lists its files
// in the Files list's place. Ctrl+T again brings the Subfolders and Files
// lists back.
TEST_F(MainWindowTest, FileTypesTakeTheSubfoldersListsPlaceAndListATypesFiles) {
  ::ShowWindow(state_->window, SW_SHOW);
  FinishScan(*state_);
  const MainWindowControls& c = state_->controls;
  const auto count = [](HWND list) { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); };
  const auto text = ListText;
  EXPECT_FALSE(::IsWindowVisible(c.typesList));
  EXPECT_FALSE(Checked(kFileTypesCommand));
  ::SetFocus(c.subfoldersList);
  PressKey(state_->window, 'T', false, true);
  EXPECT_TRUE(::IsWindowVisible(c.typesList));
  EXPECT_FALSE(::IsWindowVisible(c.subfoldersList));
  EXPECT_EQ(::GetFocus(), c.typesList);
  EXPECT_TRUE(Checked(kFileTypesCommand));
  ASSERT_TRUE(PumpUntil([&] { return count(c.typesList) == 2; }));
  // Logical sizes: big.bin's 3,000 bytes before small.txt's 1,000.
  EXPECT_EQ(text(c.typesList, 0, 0), u".bin");
  EXPECT_EQ(text(c.typesList, 1, 0), u".txt");
  EXPECT_EQ(text(c.typesList, 1, 4), u"1");
  // Tab reaches the types list where the Subfolders list was.
  ::SetFocus(c.filesList);
  PressKey(state_->window, VK_TAB);
  EXPECT_EQ(::GetFocus(), c.typesList);

  LVITEMW select{};
  select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(c.typesList, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(c.foundList) && count(c.foundList) == 1; }));
  EXPECT_FALSE(::IsWindowVisible(c.filesList));
  EXPECT_EQ(text(c.foundList, 0, 4), u"C:\\r\\docs\\small.txt");

  // On disk the sparse big.bin takes nothing: the order turns round.
  Command(kSizesOnDiskCommand);
  ASSERT_TRUE(PumpUntil([&] { return count(c.typesList) == 2 && text(c.typesList, 0, 0) == u".txt"; }));
  EXPECT_EQ(text(c.typesList, 1, 0), u".bin");
  ::SetFocus(c.typesList);

  PressKey(state_->window, 'T', false, true);
  EXPECT_FALSE(::IsWindowVisible(c.typesList));
  EXPECT_TRUE(::IsWindowVisible(c.subfoldersList));
  EXPECT_EQ(::GetFocus(), c.subfoldersList);
  EXPECT_FALSE(Checked(kFileTypesCommand));
  EXPECT_TRUE(::IsWindowVisible(c.filesList));
  EXPECT_FALSE(::IsWindowVisible(c.foundList));
}

// Pressing Scan greys it: the focus goes to Cancel, and back to Scan when
// the scan has ended, never nowhere.
TEST_F(MainWindowTest, FocusLeavesAControlThatGoesGrey) {
  auto held = std::make_shared<HangingCall>();
  UseHeldScans(platform_, held);
  Create();
  ::ShowWindow(state_->window, SW_SHOW);
  ::SetFocus(state_->controls.scanButton);
  Command(kScanButtonId);
  ASSERT_TRUE(state_->controller.IsScanning());
  EXPECT_FALSE(::IsWindowEnabled(state_->controls.scanButton));
  EXPECT_EQ(::GetFocus(), state_->controls.cancelButton);
  held->Release();
  ASSERT_TRUE(PumpUntil([&] { return state_->uiState == UiState::Finished; }));
  EXPECT_EQ(::GetFocus(), state_->controls.scanButton);
}

// Freeing a tree of tens of millions of nodes takes seconds: a new scan
// hands the old one to a thread of its own instead of freeing it on the
// window thread.
TEST_F(MainWindowTest, ANewScanFreesThePreviousTreeOffTheWindowThread) {
  auto held = std::make_shared<HangingCall>();
  UseHeldScans(platform_, held);
  Create();
  constexpr std::uint64_t kNodes = 200000;
  {
    core::ScanTreeBuilder builder;
    const std::uint64_t root = builder.AddRoot(u"old", u"C:\\old", core::kAttributeDirectory, 0);
    for (std::uint64_t i = 1; i < kNodes; ++i) {
      builder.AddFile(root, u"a file name of a usual length " + std::u16string(i % 7, u'x'), 0x20,
                      i, 0);
    }
    builder.ComputeTotals();
    std::lock_guard lock(state_->controller.scanMutex);
    state_->controller.latestResult =
        builder.BuildResult(core::ScanStatus::Completed, u"C:\\old", 0);
  }
  ::SendMessageW(state_->window, app::kScanFinishedMessage, 0, 0);
  ASSERT_EQ(state_->ranking.Result().nodes.size(), kNodes);
  const std::uint64_t treeBytes = state_->ranking.Result().nodes.Memory().Total();
  const std::uint64_t before = test::BytesReleasedOnThisThread();
  // Scan pressed while the finished scan is still being kept: the keep
  // reads the tree, so the scan waits for it and then starts by itself.
  const bool keeping = state_->scanFileBusy;
  Command(kScanButtonId);
  if (keeping) {
    EXPECT_FALSE(state_->controller.IsScanning());
  }
  ASSERT_TRUE(PumpUntil([&] { return state_->controller.IsScanning(); }));
  EXPECT_FALSE(state_->scanFileBusy);
  EXPECT_TRUE(state_->ranking.Result().nodes.empty());
  EXPECT_LT(test::BytesReleasedOnThisThread() - before, treeBytes / 10)
      << "the window thread freed the old tree";
  held->Release();
  ASSERT_TRUE(PumpUntil([&] { return state_->uiState == UiState::Finished; }));
}

// What one control saw when it was handed a new font: whether the font it
// had been drawing with still existed then.
struct FontHandOver {
  HFONT previous = nullptr;
  HFONT received = nullptr;
  bool previousAlive = false;
};

LRESULT CALLBACK WatchFontHandOver(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR, DWORD_PTR data) {
  auto* watch = reinterpret_cast<FontHandOver*>(data);
  const auto font = reinterpret_cast<HFONT>(wParam);
  if (message == WM_SETFONT && watch->received == nullptr && font != watch->previous) {
    watch->received = font;
    watch->previousAlive = ::GetObjectType(watch->previous) == OBJ_FONT;
  }
  return ::DefSubclassProc(control, message, wParam, lParam);
}

// A DPI change and a change of Windows' text size make a new font; every
// control gets it before the old one is deleted, and the old one is
// deleted then.
TEST_F(MainWindowTest, ControlsGetTheNewFontBeforeTheOldOneIsDeleted) {
  RECT frame{};
  ::GetWindowRect(state_->window, &frame);
  const struct {
    const char* what;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  } changes[] = {
      {"DPI change", WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&frame)},
      {"text size change", WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0},
  };
  const HWND button = state_->controls.scanButton;
  for (const auto& change : changes) {
    FontHandOver watch;
    watch.previous = reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0));
    ASSERT_EQ(::GetObjectType(watch.previous), static_cast<DWORD>(OBJ_FONT));
    ::SetWindowSubclass(button, WatchFontHandOver, 1, reinterpret_cast<DWORD_PTR>(&watch));
    ::SendMessageW(state_->window, change.message, change.wParam, change.lParam);
    ::RemoveWindowSubclass(button, WatchFontHandOver, 1);
    EXPECT_NE(watch.received, nullptr) << change.what << ": no new font";
    EXPECT_TRUE(watch.previousAlive) << change.what << ": the old font was deleted first";
    EXPECT_EQ(::GetObjectType(watch.previous), 0u) << change.what << ": the old font is kept";
  }
}

// With Windows' text size above 100 % the status bar is taller: the lists
// end above it instead of under it.
TEST_F(MainWindowTest, ListsEndAboveTheStatusBarWhateverItsFont) {
  ::ShowWindow(state_->window, SW_SHOW);
  LOGFONTW large{};
  large.lfHeight = -40;
  ::lstrcpyW(large.lfFaceName, L"Tahoma");
  const HFONT font = ::CreateFontIndirectW(&large);
  const HWND statusBar = state_->controls.statusBar;
  ::SendMessageW(statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  RECT client{};
  ::GetClientRect(state_->window, &client);
  ::SendMessageW(state_->window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  RECT bar{};
  RECT folders{};
  ::GetWindowRect(statusBar, &bar);
  ::GetWindowRect(state_->controls.foldersList, &folders);
  EXPECT_GT(bar.bottom - bar.top, 40);
  EXPECT_EQ(folders.bottom, bar.top - 8);
  ::SendMessageW(statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(state_->font.get()), FALSE);
  ::DeleteObject(font);
}

int IconWidth(HWND window, WPARAM which) {
  const auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, which, 0));
  ICONINFO info{};
  if (icon == nullptr || !::GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  ::GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
  if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// The caption and taskbar icons come from the icon's images at the
// window's DPI, and again after a DPI change, not 32 and 16 pixels
// stretched.
TEST_F(MainWindowTest, IconsAreTakenAtTheWindowsDpi) {
  RECT frame{};
  ::GetWindowRect(state_->window, &frame);
  for (const std::uint32_t dpi : {state_->dpi, 192u, 144u}) {
    if (dpi != state_->dpi) {
      ::SendMessageW(state_->window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&frame));
    }
    EXPECT_EQ(IconWidth(state_->window, ICON_BIG), ::GetSystemMetricsForDpi(SM_CXICON, dpi)) << dpi;
    EXPECT_EQ(IconWidth(state_->window, ICON_SMALL), ::GetSystemMetricsForDpi(SM_CXSMICON, dpi))
        << dpi;
  }
}

// A 32-bit drawing surface standing in for a control's drawing context.
class Canvas {
 public:
  Canvas(int width, int height) : dc_(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
    const RECT all{0, 0, width, height};
    ::FillRect(dc_, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  ~Canvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  COLORREF Pixel(int x, int y) const { return ::GetPixel(dc_, x, y); }

 private:
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// On a dark window the themed buttons and the selector must not show the
// system's light colour around their rounded corners: they ask their parent
// for its background.
TEST_F(MainWindowTest, ButtonsAndTheSelectorSeeTheWindowsBackgroundAroundThem) {
  const COLORREF background = state_->palette.windowBackground;
  ASSERT_TRUE(state_->palette.isDark);
  Canvas canvas(40, 40);
  const auto brush = reinterpret_cast<HBRUSH>(
      ::SendMessageW(state_->window, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(canvas.dc()),
                     reinterpret_cast<LPARAM>(state_->controls.scanButton)));
  ASSERT_NE(brush, nullptr);
  const RECT corner{0, 0, 10, 10};
  ::FillRect(canvas.dc(), &corner, brush);
  EXPECT_EQ(canvas.Pixel(5, 5), background);
  ::SendMessageW(state_->window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()),
                 PRF_CLIENT);
  EXPECT_EQ(canvas.Pixel(30, 30), background);
}

// The lists draw through custom draw into the control's own (buffered)
// drawing context: the header strip right of the last column, and every
// cell of a row, also one the mouse hovers over.
TEST_F(MainWindowTest, ListPaintingGoesIntoTheControlsDrawingContext) {
  ::ShowWindow(state_->window, SW_SHOW);
  FinishScan(*state_);
  const HWND list = state_->controls.foldersList;
  const HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  for (int column = 0; column < 7; ++column) ::SendMessageW(list, LVM_SETCOLUMNWIDTH, column, 40);
  RECT headerRect{};
  ::GetClientRect(header, &headerRect);
  ASSERT_GT(headerRect.right, 7 * 40 + 20);
  Canvas canvas(headerRect.right + 10, 200);

  NMCUSTOMDRAW headerDraw{};
  headerDraw.hdr = {header, static_cast<UINT_PTR>(::GetDlgCtrlID(header)),
                    static_cast<UINT>(NM_CUSTOMDRAW)};
  headerDraw.dwDrawStage = CDDS_POSTPAINT;
  headerDraw.hdc = canvas.dc();
  headerDraw.rc = headerRect;
  ::SendMessageW(list, WM_NOTIFY, headerDraw.hdr.idFrom, reinterpret_cast<LPARAM>(&headerDraw));
  EXPECT_EQ(canvas.Pixel(headerRect.right - 4, 2), state_->palette.headerBackground);

  // The size cell of the second row, under the mouse.
  NMLVCUSTOMDRAW cell{};
  cell.nmcd.hdr = {list, static_cast<UINT_PTR>(kFoldersListId), static_cast<UINT>(NM_CUSTOMDRAW)};
  cell.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
  cell.nmcd.hdc = canvas.dc();
  cell.nmcd.dwItemSpec = 1;
  cell.nmcd.uItemState = CDIS_HOT;
  cell.iSubItem = 2;
  const LRESULT answer =
      ::SendMessageW(state_->window, WM_NOTIFY, kFoldersListId, reinterpret_cast<LPARAM>(&cell));
  EXPECT_EQ(answer, CDRF_SKIPDEFAULT) << "the cell was left to the control";
  RECT bounds{};
  bounds.top = 2;
  bounds.left = LVIR_BOUNDS;
  ASSERT_TRUE(::SendMessageW(list, LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&bounds)));
  EXPECT_EQ(canvas.Pixel(bounds.left + 1, bounds.top + 1), state_->palette.cellBackground);
}

int ListWidth(HWND list) {
  RECT rect{};
  ::GetWindowRect(list, &rect);
  return rect.right - rect.left;
}

// A minimised window has an empty client area; laying the lists out in it
// would clamp the splitters to their smallest and keep them there. Started
// minimised, the window's first visible layout is the one it restores to.
TEST_F(MainWindowTest, MinimisingKeepsTheSplitters) {
  for (const int first : {SW_SHOWNORMAL, SW_SHOWMINNOACTIVE}) {
    Create();
    ::ShowWindow(state_->window, first);
    ::ShowWindow(state_->window, SW_RESTORE);
    const SplitterPositions before = state_->splitters;
    const int foldersWidth = ListWidth(state_->controls.foldersList);
    ASSERT_GT(before.leftPaneWidth, 300) << first;
    ::ShowWindow(state_->window, SW_MINIMIZE);
    ::ShowWindow(state_->window, SW_RESTORE);
    EXPECT_EQ(state_->splitters.leftPaneWidth, before.leftPaneWidth) << first;
    EXPECT_EQ(state_->splitters.topRightHeight, before.topRightHeight) << first;
    EXPECT_EQ(ListWidth(state_->controls.foldersList), foldersWidth) << first;
  }
}

// A restart with administrator rights that does not happen leaves this
// instance running and tells why in the status bar.
TEST_F(MainWindowTest, FailedElevatedRestartIsTold) {
  state_->seams.launchElevated = [](const std::u16string&) -> DWORD { return ERROR_CANCELLED; };
  EXPECT_TRUE(RelaunchElevated(*state_));
  EXPECT_EQ(StatusText(), state_->language.Translate("status.admin_cancelled"));
  state_->seams.launchElevated = [](const std::u16string&) -> DWORD { return ERROR_ACCESS_DENIED; };
  EXPECT_TRUE(RelaunchElevated(*state_));
  EXPECT_EQ(StatusText(), state_->language.Translate("status.admin_failed"));
  EXPECT_TRUE(::IsWindow(state_->window));
}

// A finished scan of a small tree, handed to the window as the scan thread
// would: the result in the controller, then WM_APP + 1. Returns once the
// window has kept it (or failed to), as nothing may replace the result
// while the worker writes it.
void FinishScan(MainWindowState& state, core::ScanStatus status) {
  {
    std::lock_guard lock(state.controller.scanMutex);
    core::ScanTreeBuilder builder;
    const std::uint64_t root = builder.AddRoot(u"", u"C:\\r", core::kAttributeDirectory, 0);
    const std::uint64_t docs = builder.AddDirectory(root, u"docs", core::kAttributeDirectory, 0);
    // Large but sparse, and small in a whole cluster: the bases disagree.
    builder.AddFile(root, u"big.bin", 0x20, 3000, 0, 0);
    builder.AddFile(docs, u"small.txt", 0x20, 1000, 0, 4096);
    builder.ComputeTotals();
    state.controller.latestResult = builder.BuildResult(status, u"C:\\r", 0);
  }
  ::SendMessageW(state.window, app::kScanFinishedMessage, 0, 0);
  PumpMessagesUntil([&] { return !state.scanFileBusy; }, 10000);
  EXPECT_FALSE(state.scanFileBusy) << "the scan was not kept within ten seconds";
}

// The context menu of a right-hand list: a right click on a row selects it,
// makes that list the one Open uses, and offers one item, "Open".
TEST_F(MainWindowTest, ContextMenuOnARankingRowSelectsItAndOffersOpen) {
  ::ShowWindow(state_->window, SW_SHOW);
  FinishScan(*state_);
  const HWND files = state_->controls.filesList;
  ASSERT_EQ(::SendMessageW(files, LVM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_FALSE(::IsWindowEnabled(state_->controls.openButton));
  RECT row{};
  row.left = LVIR_BOUNDS;
  ASSERT_TRUE(::SendMessageW(files, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
  POINT point{row.left + 20, (row.top + row.bottom) / 2};
  ::ClientToScreen(files, &point);
  std::u16string offered;
  {
    WindowRobot robot(L"#32768", L"", [&](HWND popup) {
      const auto menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
      wchar_t text[128] = {};
      ::GetMenuStringW(menu, 0, text, 128, MF_BYPOSITION);
      offered = base::FromWide(text);
      if (::GetMenuItemCount(menu) != 1) offered += u" (more than one item)";
      ::PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    ::SendMessageW(state_->window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(files),
                   MAKELPARAM(point.x, point.y));
  }
  EXPECT_EQ(offered, state_->language.Translate("context.open"));
  EXPECT_EQ(::SendMessageW(files, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
  EXPECT_EQ(state_->ranking.activeRankingList, app::RankingList::Files);
  EXPECT_TRUE(::IsWindowEnabled(state_->controls.openButton));
}

// After a scan the Folders list shows the root and its children, ordered by
// size, the root selected and ranked; the completion line is shown.
TEST_F(MainWindowTest, ScanFinishedFillsTheListsAndShowsTheCompletionLine) {
  FinishScan(*state_);
  EXPECT_EQ(::SendMessageW(state_->controls.foldersList, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(state_->ranking.treeRows[1].node, 2u);  // big.bin before docs
  EXPECT_EQ(::SendMessageW(state_->controls.subfoldersList, LVM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(StatusText().rfind(state_->language.Translate("status.completed"), 0), 0u);
  EXPECT_EQ(state_->uiState, UiState::Finished);
  // A language change shows the completion line again in the new words.
  Command(kFirstLanguageCommand + 3);
  EXPECT_EQ(StatusText().rfind(state_->language.Translate("status.completed"), 0), 0u);
  LVITEMW item{};
  wchar_t text[64] = {};
  item.pszText = text;
  item.cchTextMax = 64;
  item.iSubItem = 2;
  ::SendMessageW(state_->controls.foldersList, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(base::FromWide(text), u"3,9 KB");  // de-DE: decimal comma
}

// File > Compare with...: FinishScan's tree against a saved scan of it
// from before big.bin grew, docs\old.txt and gone.bin went and
// docs\small.txt grew. The Change column appears right after the share
// with every row's change, what is gone is listed, the Change header
// orders by growth and then by shrink, and a new scan takes it all away.
TEST_F(MainWindowTest, ComparingWithASavedScanShowsEveryChangeAndOrdersByIt) {
  WriteSettings("[]");  // en-US numbers
  Create();
  core::ScanTreeBuilder builder;
  const std::uint64_t root = builder.AddRoot(u"", u"C:\\r", core::kAttributeDirectory, 0);
  const std::uint64_t docs = builder.AddDirectory(root, u"DOCS", core::kAttributeDirectory, 0);
  builder.AddFile(root, u"big.bin", 0x20, 1000, 0);
  builder.AddFile(root, u"gone.bin", 0x20, 100, 0);
  builder.AddFile(docs, u"small.txt", 0x20, 500, 0);
  builder.AddFile(docs, u"old.txt", 0x20, 700, 0);
  builder.ComputeTotals();
  const core::ScanResult earlier = builder.BuildResult(core::ScanStatus::Completed, u"C:\\r", 0);
  const std::u16string saved = (folder_ / "earlier.ombrixscan").u16string();
  ASSERT_TRUE(app::SaveScanFile(app::SystemSettingsFiles(), saved, earlier, earlier.nodes.size()));

  FinishScan(*state_);
  // The scan just kept is no earlier one (this tree has no scan time).
  Command(kComparePreviousScanCommand);
  ASSERT_TRUE(PumpUntil([&] { return !state_->scanFileBusy; }));
  EXPECT_EQ(StatusText(), state_->language.Translate("status.no_previous_scan"));
  const MainWindowControls& c = state_->controls;
  const int changeColumn = static_cast<int>(app::FolderColumn::Change);
  EXPECT_EQ(::SendMessageW(c.foldersList, LVM_GETCOLUMNWIDTH, changeColumn, 0), 0);
  const auto rows = [&](HWND list, int nameColumn, int change) {
    std::vector<std::u16string> texts;
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
      texts.push_back(ListText(list, row, nameColumn) + u" | " + ListText(list, row, change));
    }
    return texts;
  };
  using Texts = std::vector<std::u16string>;

  CompareWithScanFile(*state_, saved);
  ASSERT_TRUE(PumpUntil([&] { return !state_->scanFileBusy; }));
  EXPECT_GT(::SendMessageW(c.foldersList, LVM_GETCOLUMNWIDTH, changeColumn, 0), 0);
  EXPECT_EQ(HeaderText(c.foldersList, changeColumn), u"Change");
  // Shown after the share, though inserted last.
  int order[8] = {};
  ::SendMessageW(c.foldersList, LVM_GETCOLUMNORDERARRAY, 8, reinterpret_cast<LPARAM>(order));
  EXPECT_EQ(order[2], changeColumn);
  EXPECT_EQ(rows(c.foldersList, 0, changeColumn),
            (Texts{u"C:\\r | +1.7 KB, files -2", u"big.bin | +2.0 KB", u"docs | -200 B, files -1",
                   u"gone.bin | deleted, -100 B"}));
  EXPECT_EQ(StatusText().rfind(u"Compared with the scan of C:\\r - Scan complete", 0), 0u)
      << base::ToUtf8(StatusText());

  // Largest growth first, then largest shrink first: the deleted files
  // below the root lead the Files list.
  ClickColumnHeader(*state_, c.filesList, static_cast<int>(app::FileColumn::Change));
  EXPECT_EQ(HeaderText(c.foldersList, changeColumn), u"Change \u25BC");
  const int fileChange = static_cast<int>(app::FileColumn::Change);
  EXPECT_EQ(rows(c.filesList, 3, fileChange),
            (Texts{u"big.bin | +2.0 KB", u"small.txt | +500 B"}));
  ClickColumnHeader(*state_, c.foldersList, changeColumn);
  EXPECT_EQ(rows(c.filesList, 3, fileChange),
            (Texts{u"old.txt | deleted, -700 B", u"gone.bin | deleted, -100 B"}));
  EXPECT_EQ(rows(c.foldersList, 0, changeColumn)[1], u"gone.bin | deleted, -100 B");
  // Selecting a deleted row ranks nothing new.
  const std::uint64_t revision = state_->ranking.RankingsRevision();
  LVITEMW select{};
  select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(c.foldersList, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&select));
  EXPECT_EQ(state_->ranking.RankingsRevision(), revision);
  // The share header orders by size again.
  ClickColumnHeader(*state_, c.foldersList, 1);
  EXPECT_EQ(state_->ranking.Order(), app::ChangeOrder::None);
  EXPECT_EQ(HeaderText(c.foldersList, changeColumn), u"Change");

  // A file that is no scan leaves the comparison as it was and says why.
  const std::filesystem::path junk = folder_ / "junk.json";
  std::ofstream(junk) << "not a scan";
  CompareWithScanFile(*state_, junk.u16string());
  ASSERT_TRUE(PumpUntil([&] { return !state_->scanFileBusy; }));
  EXPECT_EQ(StatusText(), state_->language.Translate("status.scan_not_a_scan"));
  EXPECT_NE(state_->ranking.Comparison(), nullptr);

  FinishScan(*state_);
  EXPECT_EQ(state_->ranking.Comparison(), nullptr);
  EXPECT_EQ(::SendMessageW(c.foldersList, LVM_GETCOLUMNWIDTH, changeColumn, 0), 0);
  EXPECT_EQ(StatusText().rfind(u"Scan complete", 0), 0u);
}

// A scan that completes here is kept in "Last scans" beside the settings
// file; a cancelled one is not, nor one opened from a file (which would
// push the kept scan out as the previous one), nor any once the setting is
// turned off, which is saved.
TEST_F(MainWindowTest, AFinishedScanIsKeptBesideTheSettingsWhileTheSettingIsOn) {
  namespace fs = std::filesystem;
  const fs::path kept = folder_ / "Last scans";
  const fs::path latest = kept / fs::path(app::KeptScanName(u"C:\\r"));
  const auto keptNames = [&] {
    std::vector<fs::path> names;
    if (fs::exists(kept)) {
      for (const auto& entry : fs::directory_iterator(kept)) names.push_back(entry.path().filename());
    }
    return names;
  };
  const struct {
    const char* name;
    bool turnOff;
    core::ScanStatus status;
    bool keptExpected;
  } cases[] = {
      {"completed", false, core::ScanStatus::Completed, true},
      {"cancelled", false, core::ScanStatus::Cancelled, false},
      {"turned off", true, core::ScanStatus::Completed, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(kept);
    EXPECT_TRUE(Checked(kKeepLastScansCommand));
    if (c.turnOff) {
      Command(kKeepLastScansCommand);
      EXPECT_FALSE(Checked(kKeepLastScansCommand));
      EXPECT_NE(SavedSettings().find("\"keepLastScans\": false"), std::string::npos);
    }
    FinishScan(*state_, c.status);
    EXPECT_EQ(fs::exists(latest), c.keptExpected);
    if (!c.keptExpected) continue;
    EXPECT_EQ(keptNames(), std::vector<fs::path>{latest.filename()});
    OpenScanFile(*state_, latest.u16string());
    ASSERT_TRUE(PumpUntil([&] { return !state_->scanFileBusy && state_->resultFromFile; }));
    EXPECT_EQ(keptNames(), std::vector<fs::path>{latest.filename()});
  }
}

}  // namespace
}  // namespace ombrix::ui
