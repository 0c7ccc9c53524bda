// An NTFS volume image file (a raw partition image, as dd or mkntfs make
// it) behind the volume-reader seam, so the whole MFT engine runs on images
// on every platform.
//
// The geometry comes from the image's boot sector. The scan root is a path
// inside the volume ("\\" or "" for its root folder, "\\Users\\ann" for a
// folder below it). The root folder is always record 5; folders below it
// cannot be looked up before the MFT has been read, so their names are
// handed to the engine, which follows them down over the decoded entries
// (see FindFolderByNames).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/mft/volume_reader.h"

namespace ombrix::core {

inline constexpr std::uint64_t kNtfsRootFolderRecord = 5;
inline constexpr std::uint32_t kNtfsBootSectorLength = 512;

// Reads the geometry from an NTFS boot sector. False when the bytes are not
// an NTFS boot sector; fields that are out of range come back as 0, which
// the engine reports as unusable.
bool ParseNtfsBootSector(const std::uint8_t* bytes, std::uint64_t length,
                         NtfsVolumeGeometry& geometry);

// Cuts the volume's cluster count to the clusters volumeLength bytes hold.
void LimitToVolumeLength(NtfsVolumeGeometry& geometry, std::uint64_t volumeLength);

class NtfsImageVolumeReader final : public IVolumeReader {
 public:
  explicit NtfsImageVolumeReader(std::filesystem::path imageFile);

  VolumeOpenResult Open(const std::u16string& path) override;
  bool QueryGeometry(NtfsVolumeGeometry& geometry) override;
  bool ResolveRoot(const std::u16string& path, ScanRootLocation& root) override;
  bool ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::uint32_t length,
              std::uint32_t& bytesRead) override;
  std::optional<PathAttributes> RootAttributes(const std::u16string& path) override;

 private:
  std::filesystem::path imageFile_;
  std::filebuf file_;
  std::uint8_t bootSector_[kNtfsBootSectorLength] = {};
  std::uint64_t imageLength_ = 0;
};

}  // namespace ombrix::core
