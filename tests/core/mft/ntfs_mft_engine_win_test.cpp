// The live-volume path under Wine: Wine opens \\.\C: but does not implement
// FSCTL_GET_NTFS_VOLUME_DATA, so a scan of C: ends at the geometry query.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/mft/ntfs_mft_engine.h"

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

TEST(NtfsMftEngineWinTest, AvailabilityOfTheWineSystemDrive) {
  wchar_t fileSystem[MAX_PATH] = {};
  ASSERT_TRUE(::GetVolumeInformationW(L"C:\\", nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                      MAX_PATH));
  // Wine calls C: NTFS and lets the device open, so the test passes here;
  // it is the scan that fails, at the query.
  HANDLE device = ::CreateFileW(L"\\\\.\\C:", GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool opens = device != INVALID_HANDLE_VALUE;
  if (opens) ::CloseHandle(device);
  const bool ntfs = ::CompareStringOrdinal(fileSystem, -1, L"NTFS", -1, TRUE) == CSTR_EQUAL;
  EXPECT_EQ(IsNtfsMftScanAvailable(u"C:\\windows"), ntfs && opens);
}

}  // namespace
}  // namespace ombrix::core
