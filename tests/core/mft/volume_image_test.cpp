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
  };
  const Case cases[] = {
      {512, 8, 0xF6, 4096, 1024},        // -10: 2^10-byte records
      {4096, 1, 0xF4, 4096, 4096},       // -12
      {512, 1, 2, 512, 1024},            // positive: clusters per record
      {512, 0xF4, 0xF6, 2097152, 1024},  // -12: 4096 sectors per cluster (2 MiB clusters)
      {512, 0x81, 0xF6, 0, 1024},        // 2^127 sectors: out of range, unusable
      {512, 8, 0x80, 4096, 0},           // 2^128 bytes: out of range
  };
  for (const Case& c : cases) {
    NtfsVolumeGeometry g;
    const auto boot = BootSector(c.sector, c.sectorsPerCluster, 786432, c.clustersPerRecord);
    ASSERT_TRUE(ParseNtfsBootSector(boot.data(), boot.size(), g));
    EXPECT_EQ(g.bytesPerSector, c.sector);
    EXPECT_EQ(g.bytesPerCluster, c.cluster) << int(c.sectorsPerCluster);
    EXPECT_EQ(g.bytesPerFileRecordSegment, c.record) << int(c.clustersPerRecord);
    EXPECT_EQ(g.mftStartLcn, 786432);
  }
  auto fat = BootSector(512, 8, 4, 0xF6);
  std::memcpy(fat.data() + 3, "MSDOS5.0", 8);
  NtfsVolumeGeometry g;
  EXPECT_FALSE(ParseNtfsBootSector(fat.data(), fat.size(), g));
  EXPECT_FALSE(ParseNtfsBootSector(fat.data(), 10, g));
}

}  // namespace
}  // namespace ombrix::core
