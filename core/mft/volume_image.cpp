#include "core/mft/volume_image.h"

#include <algorithm>
#include <cstring>
#include <ios>
#include <utility>

#include "base/le_reader.h"
#include "core/scan_paths.h"

namespace ombrix::core {

namespace {

constexpr char kNtfsOemId[] = "NTFS    ";
constexpr std::uint64_t kOemIdOffset = 0x03;
constexpr std::uint64_t kBytesPerSectorOffset = 0x0B;
constexpr std::uint64_t kSectorsPerClusterOffset = 0x0D;
constexpr std::uint64_t kTotalSectorsOffset = 0x28;
constexpr std::uint64_t kMftClusterOffset = 0x30;
constexpr std::uint64_t kClustersPerRecordOffset = 0x40;
// Sizes beyond this are no NTFS volume's; keeping them small also keeps the
// products below in 32 bits.
constexpr std::uint64_t kMaxGeometryLength = 1u << 24;

// Both sectors per cluster and clusters per record use the same trick for
// large values: a negative byte n stands for 2^-n (sectors or bytes).
std::uint64_t PowerOfTwoOrZero(int exponent) {
  return (exponent >= 0 && exponent < 32) ? (std::uint64_t{1} << exponent) : 0;
}

std::uint32_t ClampedLength(std::uint64_t length) {
  return length <= kMaxGeometryLength ? static_cast<std::uint32_t>(length) : 0;
}

}  // namespace

bool ParseNtfsBootSector(const std::uint8_t* bytes, std::uint64_t length,
                         NtfsVolumeGeometry& geometry) {
  const base::LeReader boot(bytes, length);
  const auto oem = boot.Slice(kOemIdOffset, 8);
  if (!oem || std::memcmp(oem->Data(), kNtfsOemId, 8) != 0) {
    return false;
  }
  const auto bytesPerSector = boot.U16(kBytesPerSectorOffset);
  const auto sectorsPerClusterByte = boot.U8(kSectorsPerClusterOffset);
  const auto totalSectors = boot.U64(kTotalSectorsOffset);
  const auto mftCluster = boot.I64(kMftClusterOffset);
  const auto clustersPerRecordByte = boot.U8(kClustersPerRecordOffset);
  if (!bytesPerSector || !sectorsPerClusterByte || !totalSectors || !mftCluster ||
      !clustersPerRecordByte) {
    return false;
  }
  const std::uint64_t sectorsPerCluster = *sectorsPerClusterByte <= 0x80
                                              ? *sectorsPerClusterByte
                                              : PowerOfTwoOrZero(256 - *sectorsPerClusterByte);
  const std::uint32_t cluster = ClampedLength(std::uint64_t{*bytesPerSector} * sectorsPerCluster);
  const auto clustersPerRecord = static_cast<std::int8_t>(*clustersPerRecordByte);
  const std::uint64_t record = clustersPerRecord > 0 ? std::uint64_t{cluster} * clustersPerRecord
                                                     : PowerOfTwoOrZero(-clustersPerRecord);
  geometry.bytesPerSector = *bytesPerSector;
  geometry.bytesPerCluster = cluster;
  geometry.bytesPerFileRecordSegment = ClampedLength(record);
  geometry.mftStartLcn = *mftCluster;
  geometry.totalClusters = (cluster != 0 && sectorsPerCluster != 0) ? *totalSectors / sectorsPerCluster : 0;
  return true;
}

void LimitToVolumeLength(NtfsVolumeGeometry& geometry, std::uint64_t volumeLength) {
  if (geometry.bytesPerCluster == 0) return;
  geometry.totalClusters = std::min(geometry.totalClusters, volumeLength / geometry.bytesPerCluster);
}

NtfsImageVolumeReader::NtfsImageVolumeReader(std::filesystem::path imageFile)
    : imageFile_(std::move(imageFile)) {}

VolumeOpenResult NtfsImageVolumeReader::Open(const std::u16string&) {
  if (file_.open(imageFile_, std::ios::in | std::ios::binary) == nullptr) {
    return VolumeOpenResult::OpenFailed;
  }
  std::uint32_t bytesRead = 0;
  NtfsVolumeGeometry unused;
  const std::streampos end = file_.pubseekoff(0, std::ios::end, std::ios::in);
  imageLength_ = end == std::streampos(-1) ? 0 : static_cast<std::uint64_t>(end);
  if (!ReadAt(0, bootSector_, kNtfsBootSectorLength, bytesRead) ||
      bytesRead != kNtfsBootSectorLength ||
      !ParseNtfsBootSector(bootSector_, kNtfsBootSectorLength, unused)) {
    return VolumeOpenResult::NotAvailable;
  }
  return VolumeOpenResult::Opened;
}

bool NtfsImageVolumeReader::QueryGeometry(NtfsVolumeGeometry& geometry) {
  if (!ParseNtfsBootSector(bootSector_, kNtfsBootSectorLength, geometry)) return false;
  // A cut-off image holds fewer clusters than its boot sector claims.
  LimitToVolumeLength(geometry, imageLength_);
  return true;
}

bool NtfsImageVolumeReader::ResolveRoot(const std::u16string& path, ScanRootLocation& root) {
  root.recordNumber = kNtfsRootFolderRecord;
  root.namesBelow.clear();
  std::size_t begin = 0;
  while (begin < path.size()) {
    std::size_t end = begin;
    while (end < path.size() && !IsPathSeparator(path[end])) ++end;
    if (end > begin) {
      std::u16string name = path.substr(begin, end - begin);
      if (name == u"..") {
        return false;  // a scan root names a folder, not a way out of one
      }
      if (name != u".") {
        root.namesBelow.push_back(std::move(name));
      }
    }
    begin = end + 1;
  }
  return true;
}

bool NtfsImageVolumeReader::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::uint32_t length,
                                   std::uint32_t& bytesRead) {
  bytesRead = 0;
  if (!file_.is_open() || offset > static_cast<std::uint64_t>(INT64_MAX)) {
    return false;
  }
  const auto position = static_cast<std::streamoff>(offset);
  if (file_.pubseekpos(position, std::ios::in) != std::streampos(position)) {
    return false;
  }
  const std::streamsize got = file_.sgetn(reinterpret_cast<char*>(buffer), length);
  if (got < 0) {
    return false;
  }
  bytesRead = static_cast<std::uint32_t>(got);
  return true;
}

std::optional<PathAttributes> NtfsImageVolumeReader::RootAttributes(const std::u16string&) {
  // The image carries no Win32 view of its root; it is shown as a plain
  // folder with no time.
  return std::nullopt;
}

}  // namespace ombrix::core
