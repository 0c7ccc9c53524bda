// The live-volume path under Wine: Wine opens \\.\C: but does not implement
// FSCTL_GET_NTFS_VOLUME_DATA, so a scan of C: ends at the geometry query.
#include <gtest/gtest.h>

#include "core/mft/ntfs_mft_engine.h"
#include "core/mft/volume_reader_win.h"

namespace ombrix::core {
namespace {

ScanResult ScanLive(const std::u16string& path) {
  NtfsMftScanEngine engine(0);
  ScanCancellationToken token;
  return engine.Scan(path, token, {});
}

TEST(NtfsMftEngineWinTest, WineVolumeStopsAtTheGeometryQuery) {
  const ScanResult r = ScanLive(u"C:\\windows\\\\\\");
  EXPECT_EQ(r.status, ScanStatus::Failed);
  EXPECT_EQ(r.engine, ScanEngineKind::NtfsMft);
  EXPECT_EQ(r.message, kMftVolumeQueryMessage);
  EXPECT_EQ(r.rootPath, u"C:\\windows");
  EXPECT_TRUE(r.nodes.empty());
  EXPECT_EQ(r.rootIndex, kNoNode);
}

TEST(NtfsMftEngineWinTest, MissingDriveIsNotAvailable) {
  EXPECT_FALSE(IsNtfsMftScanAvailable(u"Q:\\nowhere"));
  const ScanResult r = ScanLive(u"Q:\\nowhere\\");
  EXPECT_EQ(r.status, ScanStatus::Failed);
  EXPECT_EQ(r.message, kMftNotAvailableMessage);
  EXPECT_EQ(r.rootPath, u"Q:\\nowhere");
}

}  // namespace
}  // namespace ombrix::core
