#include "ui/saved/scan_file_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ui/saved/scan_file_notices.h"

namespace ombrix::ui {
namespace {

// 2026-12-07 09:30 as a FILETIME.
constexpr std::uint64_t kDecemberSeventh = 134'411'094'000'000'000ull;

TEST(ScanFileNamesTest, DroppedFilesOpenedAsScansByTheirEnding) {
  const struct {
    std::u16string_view path;
    bool scan;
  } cases[] = {
      {u"C:\\scans\\week 49.ombrixscan", true},
      {u"C:\\scans\\WEEK.OMBRIXSCAN", true},
      {u"\\\\server\\exports\\srv.json", true},
      {u"D:\\export.JSON", true},
      {u"C:\\scans", false},
      {u"C:\\notes.json.txt", false},
      {u"C:\\ombrixscan", false},
      {u"json", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsScanFileName(c.path), c.scan) << std::string(c.path.begin(), c.path.end());
}

TEST(ScanFileNamesTest, SuggestedNameIsTheFolderAndTheDay) {
  const struct {
    std::u16string_view root;
    std::uint64_t time;
    std::u16string_view name;
  } cases[] = {
      {u"C:\\Data\\Photos", kDecemberSeventh, u"Photos 2026-12-07.ombrixscan"},
      {u"C:\\Data\\Photos\\", kDecemberSeventh, u"Photos 2026-12-07.ombrixscan"},
      {u"C:\\", kDecemberSeventh, u"C 2026-12-07.ombrixscan"},
      {u"/srv", kDecemberSeventh, u"srv 2026-12-07.ombrixscan"},
      // The label of an all-drives scan may hold what a file name cannot.
      {u"All local drives: C:, D:", kDecemberSeventh, u"All local drives_ C_, D_ 2026-12-07.ombrixscan"},
      {u"C:\\Data", 0, u"Data.ombrixscan"},
      {u"", 0, u"Ombrix.ombrixscan"},
  };
  for (const auto& c : cases) EXPECT_EQ(SuggestedScanFileName(c.root, c.time), c.name);
}

// Every way a file can fail has its own line; none falls back to another's.
TEST(ScanFileNamesTest, EveryOpenFailureHasItsOwnNotice) {
  using app::SavedScanError;
  const SavedScanError errors[] = {SavedScanError::Unreadable, SavedScanError::NotAScan,
                                   SavedScanError::Truncated, SavedScanError::Corrupted,
                                   SavedScanError::NewerVersion, SavedScanError::OutOfMemory};
  std::set<std::string> keys;
  for (const SavedScanError error : errors) keys.insert(OpenFailureNotice(error));
  EXPECT_EQ(keys.size(), std::size(errors));
  EXPECT_STREQ(OpenFailureNotice(SavedScanError::Truncated), "status.scan_truncated");
}

}  // namespace
}  // namespace ombrix::ui
