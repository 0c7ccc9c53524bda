// The real file operations on a real folder, natively and under Wine
// (where the Win32 ones run).
#include "app/settings/settings_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temporary_folder.h"

namespace ombrix::app {
namespace {

namespace fs = std::filesystem;

// Now as a FILETIME, from the clock the file times are compared with.
std::uint64_t FileTimeNow() {
  const auto sinceUnixEpoch = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::system_clock::now().time_since_epoch());
  return (static_cast<std::uint64_t>(sinceUnixEpoch.count()) + 11644473600) * 10000000;
}

const FolderFile* Find(const std::vector<FolderFile>& files, std::u16string_view name) {
  const auto found = std::find_if(files.begin(), files.end(),
                                  [name](const FolderFile& file) { return file.name == name; });
  return found == files.end() ? nullptr : &*found;
}

// Files only, with their sizes and write times, in a folder deeper than
// MAX_PATH and with names outside ASCII.
TEST(SettingsFilesTest, ListFolderGivesEachFilesSizeAndWriteTime) {
  const test::TemporaryFolder temporary;
  const fs::path folder = temporary.Path() / std::string(100, 'a') / std::string(100, 'b') /
                          std::string(100, 'c');
  const std::u16string stamp = u"\u00e9t\u00e9 \u4e2d.ombrixscan";
  temporary.WriteFile(folder / "C.ombrixscan", "12345");
  temporary.WriteFile(folder / fs::path(stamp), std::string(70000, 'x'));
  temporary.WriteFile(folder / "empty", "");
  temporary.WriteFile(folder / "sub" / "inner.ombrixscan", "1");
  const fs::path older = folder / "C.previous.ombrixscan";
  temporary.WriteFile(older, "1");
  fs::last_write_time(older, fs::last_write_time(older) - std::chrono::hours(1));

  std::vector<FolderFile> files{{u"stale", 1, 1}};
  ASSERT_TRUE(SystemSettingsFiles().listFolder(folder.u16string(), files));
  ASSERT_EQ(files.size(), 4u);
  const struct {
    std::u16string name;
    std::uint64_t byteSize;
  } expected[] = {{u"C.ombrixscan", 5}, {stamp, 70000}, {u"empty", 0}, {u"C.previous.ombrixscan", 1}};
  for (const auto& e : expected) {
    const FolderFile* file = Find(files, e.name);
    ASSERT_NE(file, nullptr) << fs::path(e.name).string();
    EXPECT_EQ(file->byteSize, e.byteSize);
  }
  const std::uint64_t now = FileTimeNow();
  constexpr std::uint64_t kMinute = 60ull * 10000000;
  const std::uint64_t written = Find(files, u"C.ombrixscan")->lastWriteTime;
  EXPECT_LT(written, now + kMinute);
  EXPECT_GT(written, now - 10 * kMinute);
  const std::uint64_t hourEarlier = Find(files, u"C.previous.ombrixscan")->lastWriteTime;
  EXPECT_NEAR(static_cast<double>(written - hourEarlier), 60.0 * kMinute, 2.0 * kMinute);
}

TEST(SettingsFilesTest, ListFolderFailsWithoutAFolderAndListsAnEmptyOne) {
  const test::TemporaryFolder temporary;
  temporary.WriteFile("file", "x");
  fs::create_directories(temporary.Path() / "empty");
  const struct {
    const char* name;
    bool listed;
  } cases[] = {{"missing", false}, {"file", false}, {"empty", true}};
  for (const auto& c : cases) {
    std::vector<FolderFile> files{{u"stale", 1, 1}};
    EXPECT_EQ(SystemSettingsFiles().listFolder((temporary.Path() / c.name).u16string(), files),
              c.listed)
        << c.name;
    // A failure leaves the list as it was.
    EXPECT_EQ(files.empty(), c.listed) << c.name;
  }
}

}  // namespace
}  // namespace ombrix::app
