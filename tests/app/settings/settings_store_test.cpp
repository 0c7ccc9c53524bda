// Real files in a fresh temporary folder, natively and under Wine.
#include "app/settings/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/settings/settings_serializer.h"
#include "tests/app/settings/print_settings.h"
#include "tests/support/test_data.h"

namespace ombrix::app {
namespace {

namespace fs = std::filesystem;

class SettingsStoreTest : public ::testing::Test {
 protected:
  SettingsStoreTest()
      : folder_(fs::temp_directory_path() /
                ("ombrix-settings-" + std::to_string(std::random_device{}()))) {
    fs::create_directories(folder_);
  }
  ~SettingsStoreTest() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  static std::string ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }
  static void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  std::vector<fs::path> FolderEntries(const fs::path& folder) const {
    return std::vector<fs::path>(fs::directory_iterator(folder), fs::directory_iterator());
  }

  fs::path folder_;
};

TEST_F(SettingsStoreTest, LoadsDefaultsWithoutAFile) {
  const fs::path path = folder_ / "Ombrix" / "ombrix.settings.json";
  // A machine that cannot say how many threads it has counts as four.
  const SettingsStore unknownMachine(path.u16string(), SystemSettingsFiles(), 0);
  EXPECT_EQ(unknownMachine.hardwareThreads(), 4u);
  const AppSettings settings = unknownMachine.LoadSettings();
  EXPECT_EQ(settings, DefaultSettings(4));
  EXPECT_EQ(settings.language, u"system");
  EXPECT_EQ(settings.theme, u"MysticForest");
  EXPECT_TRUE(settings.showAdminPromptOnStartup);
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

  ASSERT_TRUE(store.SaveSettings(settings));
  EXPECT_EQ(ReadBytes(path), ReadBytes(fs::path(test::SourceDir()) / "tests" / "app" / "settings" /
                                       "saved_settings.golden.json"));
  EXPECT_EQ(store.LoadSettings(), settings);

  // Saving again replaces the file; a thread count of 0 goes out normalised
  // while the caller's record keeps its 0.
  settings.threadsPerDrive = 0;
  ASSERT_TRUE(store.SaveSettings(settings));
  EXPECT_EQ(settings.threadsPerDrive, 0u);
  EXPECT_EQ(store.LoadSettings().threadsPerDrive, 8u);
  EXPECT_EQ(FolderEntries(folder), std::vector<fs::path>{path});  // no temporary file left
}

TEST_F(SettingsStoreTest, AFolderThatCannotBeCreatedFailsTheSave) {
  // Run as root, permissions deny nothing; a file where a folder must go
  // does.
  WriteBytes(folder_ / "blocker", "old bytes");
  const fs::path path = folder_ / "blocker" / "Ombrix" / "ombrix.settings.json";
  EXPECT_FALSE(SettingsStore(path.u16string(), SystemSettingsFiles()).SaveSettings(AppSettings()));
  EXPECT_EQ(ReadBytes(folder_ / "blocker"), "old bytes");
  // A bare file name has no folder to create.
  EXPECT_FALSE(
      SettingsStore(u"ombrix.settings.json", SystemSettingsFiles()).SaveSettings(AppSettings()));
}

TEST_F(SettingsStoreTest, AFailedSaveLeavesTheOldFileAsItWas) {
  const fs::path path = folder_ / "ombrix.settings.json";
  const std::string oldBytes = "{\"language\": \"fr\"}";
  struct Failure {
    const char* name;
    bool writeStopsHalfWay;
    bool replaceFails;
  } failures[] = {{"disk full while writing", true, false},
                  {"replace refused after the whole text was written", false, true}};
  for (const Failure& failure : failures) {
    WriteBytes(path, oldBytes);
    SettingsFiles files = SystemSettingsFiles();
    const SettingsFiles real = files;
    if (failure.writeStopsHalfWay) {
      files.writeFile = [real](const std::u16string& file, std::string_view bytes) {
        real.writeFile(file, bytes.substr(0, bytes.size() / 2));
        return false;
      };
    }
    if (failure.replaceFails) {
      files.replaceFile = [](const std::u16string&, const std::u16string&) { return false; };
    }
    EXPECT_FALSE(SettingsStore(path.u16string(), files).SaveSettings(AppSettings()))
        << failure.name;
    EXPECT_EQ(ReadBytes(path), oldBytes) << failure.name;
    EXPECT_EQ(FolderEntries(folder_), std::vector<fs::path>{path}) << failure.name;
  }
}

TEST_F(SettingsStoreTest, PathsLongerThanMaxPathRoundTrip) {
  // On Windows the standard library cannot walk a tree deeper than
  // MAX_PATH to remove it, so the test removes what the save made, deepest
  // first, by extended-length paths (only Windows paths have a drive).
  std::vector<fs::path> made;
  struct RemoveDeepestFirst {
    std::vector<fs::path>& paths;
    ~RemoveDeepestFirst() {
      for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
        std::error_code ignored;
        fs::remove(it->has_root_name() ? fs::path(u"\\\\?\\" + it->u16string()) : *it, ignored);
      }
    }
  } cleanup{made};
  fs::path folder = folder_;
  for (const std::u16string& name : {std::u16string(90, u'a'), std::u16string(90, u'b'),
                                     std::u16string(90, u'c'), std::u16string(u"\u00e9\u4e2d")}) {
    made.push_back(folder /= name);
  }
  const fs::path path = made.emplace_back(folder / "ombrix.settings.json");
  ASSERT_GT(path.u16string().size(), 300u);
  AppSettings settings = DefaultSettings(4);
  settings.recentFolders = {path.u16string()};
  const SettingsStore store(path.u16string(), SystemSettingsFiles(), 4);
  ASSERT_TRUE(store.SaveSettings(settings));
  EXPECT_EQ(store.LoadSettings(), settings);
}

}  // namespace
}  // namespace ombrix::app
