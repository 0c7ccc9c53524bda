// Where the MFT engine's bytes come from. A live volume (Win32, raw device
// reads) and an NTFS image file both sit behind this one thin interface, so
// the whole engine - geometry, run list, chunked reading, tree building -
// runs the same way against a real drive, an image and a test's fake.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/path_attributes.h"

namespace ombrix::core {

// The values the engine keeps from NTFS_VOLUME_DATA_BUFFER (or an image's
// boot sector).
struct NtfsVolumeGeometry {
  std::uint32_t bytesPerSector = 0;
  std::uint32_t bytesPerCluster = 0;
  std::uint32_t bytesPerFileRecordSegment = 0;
  std::int64_t mftStartLcn = 0;
  // Clusters the volume holds: what bounds every offset and length read
  // from its metadata. 0 means unknown, which the engine treats as unusable.
  std::uint64_t totalClusters = 0;
  // Free clusters, as the live volume reports them; an image counts its
  // $Bitmap instead.
  std::optional<std::uint64_t> freeClusters;
};

enum class VolumeOpenResult {
  Opened,
  NotAvailable,  // not NTFS, no volume path, or a volume this engine refuses
  OpenFailed,    // the volume itself could not be opened for raw reading
};

// Where the walk of the scan root starts. A live volume names the root's
// record directly (its file index). An image knows only its root folder
// (record 5) up front; the folders below it are found by name among the
// decoded entries once the MFT has been read.
struct ScanRootLocation {
  std::uint64_t recordNumber = 0;
  std::vector<std::u16string> namesBelow;
};

class IVolumeReader {
 public:
  virtual ~IVolumeReader() = default;

  // Identifies the NTFS volume that holds path (already trimmed) and opens
  // it for raw reading.
  virtual VolumeOpenResult Open(const std::u16string& path) = 0;

  virtual bool QueryGeometry(NtfsVolumeGeometry& geometry) = 0;

  virtual bool ResolveRoot(const std::u16string& path, ScanRootLocation& root) = 0;

  // Reads length bytes at a byte offset of the volume. False when the
  // positioning or the read fails; bytesRead may be less than asked.
  virtual bool ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::uint32_t length,
                      std::uint32_t& bytesRead) = 0;

  // The scan root's attributes and last-write time; nothing when not
  // available, and the root is then shown as a plain folder.
  virtual std::optional<PathAttributes> RootAttributes(const std::u16string& path) = 0;
};

// The reader for live volumes of this platform: raw device reads on
// Windows; elsewhere a reader that refuses every path.
std::unique_ptr<IVolumeReader> MakeLiveVolumeReader();

}  // namespace ombrix::core
