#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "core/mft/ntfs_mft_engine.h"
#include "core/process_elevation_win.h"
#include "core/scan_platform_win.h"
#include "core/scan_scheduler.h"
#include "core/volume_root_win.h"
#include "tests/support/fake_scan_engine.h"
#include "tests/support/scan_result_checks.h"
#include "tests/support/test_data.h"

namespace ombrix::core {
namespace {

TEST(IsVolumeRootWinTest, DriveRootsAreRootsAndFoldersAreNot) {
  EXPECT_TRUE(IsVolumeRoot(u"C:\\"));
  EXPECT_TRUE(IsVolumeRoot(u"c:\\"));
  EXPECT_TRUE(IsVolumeRoot(u"C:\\\\"));
  EXPECT_TRUE(IsVolumeRoot(u"Z:\\"));
  EXPECT_FALSE(IsVolumeRoot(u"C:\\windows"));
  EXPECT_FALSE(IsVolumeRoot(test::ToU16(test::TestDataDir())));
}

// Wine runs every program with an administrator token, which is what makes
// automatic mode try the MFT engine on C:\ there.
TEST(IsProcessElevatedWinTest, WineCountsAsElevated) { EXPECT_TRUE(IsProcessElevated()); }

// Wraps the real engine factories so the test sees which engines ran and
// what each returned.
ScanPlatform RecordingSystemPlatform(std::vector<std::string>& log) {
  ScanPlatform platform = SystemScanPlatform();
  auto record = [&log](auto makeReal, const char* name) {
    return [&log, makeReal, name](std::uint64_t threads) -> std::unique_ptr<IScanEngine> {
      std::shared_ptr<IScanEngine> real = makeReal(threads);
      return std::make_unique<test::FakeScanEngine>(
          [&log, real, name](const std::u16string& path, ScanCancellationToken& token,
                             const ProgressCallback& progress) {
            ScanResult result = real->Scan(path, token, progress);
            log.push_back(std::string(name) + " " + ScanStatusName(result.status) + " " +
                          base::ToUtf8(result.message));
            return result;
          });
    };
  };
  platform.engines.makeNtfsMft = record(platform.engines.makeNtfsMft, "NtfsMft");
  platform.engines.makeNtQueryDirectory =
      record(platform.engines.makeNtQueryDirectory, "NtQueryDirectory");
  return platform;
}

// Under Wine, C:\ is an NTFS volume root in an elevated process, so the
// automatic choice tries the MFT engine; Wine cannot answer the NTFS volume
// data query, and the scan must carry on with the directory-query engine.
// Wine's C: holds about 800 files; its user folders are links to the Linux
// home folder, which the engine does not enter, but should a Wine version
// follow them the scan is cut short once a few thousand files are in.
TEST(ScanSchedulerWinTest, AutomaticDriveRootFallsBackFromMftToDirectoryQuery) {
  std::vector<std::string> log;
  const ScanPlatform platform = RecordingSystemPlatform(log);
  ASSERT_TRUE(platform.isVolumeRoot(u"C:\\"));
  ASSERT_TRUE(platform.isProcessElevated());
  ASSERT_TRUE(platform.isNtfsMftScanAvailable(u"C:\\"));

  ScanScheduler scheduler(nullptr, ScanOptions{}, platform);
  ScanCancellationToken token;
  std::uint64_t lastFiles = 0;
  ScanResult result = scheduler.Scan({u"C:\\"}, u"C:\\", token, [&](const ScanProgress& p) {
    lastFiles = p.filesScanned;
    if (p.filesScanned >= 3000) token.Cancel();
  });
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], "NtfsMft Failed " + base::ToUtf8(kMftVolumeQueryMessage));
  EXPECT_EQ(log[1].rfind("NtQueryDirectory ", 0), 0u) << log[1];
  EXPECT_EQ(result.engine, ScanEngineKind::NtQueryDirectory);
  EXPECT_TRUE(result.status == ScanStatus::Completed || result.status == ScanStatus::Cancelled);
  EXPECT_TRUE(result.message.empty());
  EXPECT_EQ(result.rootPath, u"C:\\");
  ASSERT_EQ(test::TreeInconsistencies(result), std::vector<std::string>{});
  EXPECT_EQ(result.nodes[result.rootIndex].Path(), u"C:\\");
  EXPECT_GT(result.fileCount, 0u);
  EXPECT_GE(result.fileCount, lastFiles);
  bool sawWindows = false;
  for (const std::uint64_t child : result.nodes[result.rootIndex].Children()) {
    sawWindows = sawWindows || result.nodes[child].Name() == u"windows";
  }
  EXPECT_TRUE(sawWindows || result.status == ScanStatus::Cancelled);
  if (result.status == ScanStatus::Completed) {
    const ScanNode root = result.nodes[result.rootIndex];
    EXPECT_EQ(root.FileCount(), result.fileCount);
    EXPECT_EQ(root.FolderCount() + 1, result.folderCount);
  }
}

// A folder is never a volume root, so even elevated it goes straight to the
// directory-query engine, and its tree is complete.
TEST(ScanSchedulerWinTest, AutomaticFolderUsesDirectoryQueryOnly) {
  std::vector<std::string> log;
  ScanScheduler scheduler(nullptr, ScanOptions{}, RecordingSystemPlatform(log));
  ScanCancellationToken token;
  const std::u16string tree = test::ToU16(test::TestDataDir() + "\\trees\\basic");
  ScanResult result = scheduler.Scan({tree, u"C:\\windows"}, u"All local drives", token, {});
  EXPECT_EQ(log, (std::vector<std::string>{"NtQueryDirectory Completed ",
                                           "NtQueryDirectory Completed "}));
  EXPECT_EQ(result.status, ScanStatus::Completed);
  EXPECT_EQ(result.engine, ScanEngineKind::NtQueryDirectory);
  ASSERT_EQ(test::TreeInconsistencies(result, test::RootKind::Synthetic),
            std::vector<std::string>{});
  ASSERT_EQ(result.nodes[0].Children().size(), 2u);
  EXPECT_EQ(result.nodes[result.nodes[0].Children()[0]].Path(), tree);
  EXPECT_EQ(result.nodes[result.nodes[0].Children()[1]].Path(), u"C:\\windows");
}

}  // namespace
}  // namespace ombrix::core
