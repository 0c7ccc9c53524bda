// An image's geometry is read from its boot sector. These boot sectors hold
// the encodings and out-of-range values no test image has; scans of the real
// images are checked against The Sleuth Kit through ombrix-scan
// (tests/tools/image_scan_check.py).
#include "core/mft/volume_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace ombrix::core {
namespace {

std::vector<std::uint8_t> BootSector(std::uint16_t sectorLength, std::uint8_t sectorsPerCluster,
                                     std::int64_t mftCluster, std::uint8_t clustersPerRecord) {
  std::vector<std::uint8_t> boot(512, 0);
  std::memcpy(boot.data() + 3, "NTFS    ", 8);
  boot[0x0B] = static_cast<std::uint8_t>(sectorLength);
  boot[0x0C] = static_cast<std::uint8_t>(sectorLength >> 8);
  boot[0x0D] = sectorsPerCluster;
  const std::uint64_t totalSectors = 1000000;
  for (int i = 0; i < 8; ++i) boot[0x28 + i] = static_cast<std::uint8_t>(totalSectors >> (8 * i));
  for (int i = 0; i < 8; ++i) boot[0x30 + i] = static_cast<std::uint8_t>(mftCluster >> (8 * i));
  boot[0x40] = clustersPerRecord;
  return boot;
}

TEST(VolumeImageTest, BootSectorGeometry) {
  struct Case {
    std::uint16_t sector;
    std::uint8_t sectorsPerCluster;
    std::uint8_t clustersPerRecord;
    std::uint32_t cluster;
    std::uint32_t record;
    std::uint64_t clusters;  // of 1,000,000 sectors
  };
  const Case cases[] = {
      {512, 8, 0xF6, 4096, 1024, 125000},     // -10: 2^10-byte records
      {4096, 1, 0xF4, 4096, 4096, 1000000},   // -12
      {512, 1, 2, 512, 1024, 1000000},        // positive: clusters per record
      {512, 0xF4, 0xF6, 2097152, 1024, 244},  // -12: 4096 sectors per cluster (2 MiB clusters)
      {512, 0x81, 0xF6, 0, 1024, 0},          // 2^127 sectors: out of range, unusable
      {512, 8, 0x80, 4096, 0, 125000},        // 2^128 bytes: out of range
  };
  for (const Case& c : cases) {
    NtfsVolumeGeometry g;
    const auto boot = BootSector(c.sector, c.sectorsPerCluster, 786432, c.clustersPerRecord);
    ASSERT_TRUE(ParseNtfsBootSector(boot.data(), boot.size(), g));
    EXPECT_EQ(g.bytesPerSector, c.sector);
    EXPECT_EQ(g.bytesPerCluster, c.cluster) << int(c.sectorsPerCluster);
    EXPECT_EQ(g.bytesPerFileRecordSegment, c.record) << int(c.clustersPerRecord);
    EXPECT_EQ(g.mftStartLcn, 786432);
    EXPECT_EQ(g.totalClusters, c.clusters) << int(c.sectorsPerCluster);
  }
  auto fat = BootSector(512, 8, 4, 0xF6);
  std::memcpy(fat.data() + 3, "MSDOS5.0", 8);
  NtfsVolumeGeometry g;
  EXPECT_FALSE(ParseNtfsBootSector(fat.data(), fat.size(), g));
  EXPECT_FALSE(ParseNtfsBootSector(fat.data(), 10, g));
}

// An image cut short holds only the clusters it has bytes for, whatever its
// boot sector claims; the engine reads nothing beyond them.
TEST(VolumeImageTest, VolumeLengthLimitsTheClusters) {
  NtfsVolumeGeometry g;
  g.bytesPerCluster = 4096;
  g.totalClusters = 125000;
  LimitToVolumeLength(g, 10 * 4096 + 100);
  EXPECT_EQ(g.totalClusters, 10u);
  LimitToVolumeLength(g, 1ull << 40);
  EXPECT_EQ(g.totalClusters, 10u);
}

}  // namespace
}  // namespace ombrix::core
