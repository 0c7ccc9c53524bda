// Real files in a fresh temporary folder, natively and under Wine.
#include "app/settings/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/test_data.h"

namespace ombrix::app {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<fs::path> Entries(const fs::path& folder) {
  return {fs::directory_iterator(folder), fs::directory_iterator()};
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  SettingsStoreTest() { fs::create_directories(folder_); }
  ~SettingsStoreTest() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  const fs::path folder_ =
      fs::temp_directory_path() / ("ombrix-settings-" + std::to_string(std::random_device{}()));
};

TEST_F(SettingsStoreTest, LoadsDefaultsWithoutAFile) {
  const fs::path path = folder_ / "Ombrix" / "ombrix.settings.json";
  // A machine that cannot say how many threads it has counts as four.
  const SettingsStore store(path.u16string(), SystemSettingsFiles(), 0);
  const AppSettings settings = store.LoadSettings();
  EXPECT_EQ(store.hardwareThreads(), 4u);
  EXPECT_EQ(settings.language, u"system");
  EXPECT_EQ(settings.threadsPerDrive, 4u);
  EXPECT_EQ(settings.maxThreadsPerDrive, 4u);
  EXPECT_EQ(
      SettingsStore(path.u16string(), SystemSettingsFiles(), 32).LoadSettings().threadsPerDrive,
      8u);
  EXPECT_FALSE(fs::exists(folder_ / "Ombrix"));
}

TEST_F(SettingsStoreTest, SavesTheExactBytesIntoNewFoldersAndReadsThemBack) {
  const fs::path folder = folder_ / "new" / "deeper";
  const fs::path path = folder / "ombrix.settings.json";
  const SettingsStore store(path.u16string(), SystemSettingsFiles(), 12);
  AppSettings settings = DefaultSettings(12);
  settings.language = u"de-DE";
  settings.theme = u"Midnight";
  settings.recentFolders = {u"C:\\Data", u"D:\\Fotos \"Urlaub\"\tneu",
                            u"E:\\\u00dcn\u00efc\u00f6d\u00e9\\\u4e2d\u6587\\\U0001F600"};
  settings.threadsPerDrive = 6;
  settings.showAdminPromptOnStartup = false;
  settings.suppressAdminPrompt = true;
  settings.sizeBasis = core::SizeBasis::OnDisk;
  settings.keepLastScans = false;
  ASSERT_TRUE(store.SaveSettings(settings));
  EXPECT_EQ(ReadBytes(path), ReadBytes(fs::path(test::SourceDir()) / "tests" / "app" / "settings" /
                                       "saved_settings.golden.json"));
  EXPECT_TRUE(store.LoadSettings() == settings);

  // Saved again over the old file; a thread count of 0 goes out normalised
  // while the caller's record keeps it.
  settings.threadsPerDrive = 0;
  ASSERT_TRUE(store.SaveSettings(settings));
  EXPECT_EQ(settings.threadsPerDrive, 0u);
  EXPECT_EQ(store.LoadSettings().threadsPerDrive, 8u);
  EXPECT_EQ(Entries(folder), std::vector<fs::path>{path});  // no temporary file left
}

TEST_F(SettingsStoreTest, AFailedSaveLeavesTheOldFileAsItWas) {
  // As root, permissions deny nothing; a file where a folder must go does.
  WriteBytes(folder_ / "blocker", "old");
  const fs::path blocked = folder_ / "blocker" / "Ombrix" / "ombrix.settings.json";
  EXPECT_FALSE(SettingsStore(blocked.u16string(), SystemSettingsFiles()).SaveSettings({}));
  EXPECT_EQ(ReadBytes(folder_ / "blocker"), "old");
  EXPECT_FALSE(SettingsStore(u"ombrix.settings.json", SystemSettingsFiles()).SaveSettings({}));
  fs::remove(folder_ / "blocker");

  const fs::path path = folder_ / "ombrix.settings.json";
  const SettingsFiles real = SystemSettingsFiles();
  SettingsFiles diskFills = real;
  diskFills.writeFile = [real](const std::u16string& file, std::string_view bytes) {
    real.writeFile(file, bytes.substr(0, bytes.size() / 2));
    return false;
  };
  SettingsFiles replaceRefused = real;
  replaceRefused.replaceFile = [](const std::u16string&, const std::u16string&) { return false; };
  for (const SettingsFiles& files : {diskFills, replaceRefused}) {
    WriteBytes(path, "{\"language\": \"fr\"}");
    EXPECT_FALSE(SettingsStore(path.u16string(), files).SaveSettings({}));
    EXPECT_EQ(ReadBytes(path), "{\"language\": \"fr\"}");
    EXPECT_EQ(Entries(folder_), std::vector<fs::path>{path});
  }
}

TEST_F(SettingsStoreTest, PathsLongerThanMaxPathRoundTrip) {
  std::vector<fs::path> made{folder_};
  for (const char16_t* name : {u"a", u"b", u"c", u"\u00e9\u4e2d"}) {
    made.push_back(made.back() / (name[1] == 0 ? std::u16string(90, name[0]) : name));
  }
  const fs::path path = made.emplace_back(made.back() / "ombrix.settings.json");
  ASSERT_GT(path.u16string().size(), 300u);
  AppSettings settings = DefaultSettings(4);
  settings.recentFolders = {path.u16string()};
  const SettingsStore store(path.u16string(), SystemSettingsFiles(), 4);
  EXPECT_TRUE(store.SaveSettings(settings));
  EXPECT_TRUE(store.LoadSettings() == settings);
  // The standard library cannot walk below MAX_PATH on Windows to remove
  // the tree; extended-length paths (only Windows paths have a drive) can.
  for (auto it = made.rbegin(); it != made.rend() - 1; ++it) {
    std::error_code ignored;
    fs::remove(it->has_root_name() ? fs::path(u"\\\\?\\" + it->u16string()) : *it, ignored);
  }
}

}  // namespace
}  // namespace ombrix::app
