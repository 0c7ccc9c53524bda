// Outside Windows there is no live volume to read raw: every path is
// refused, so a scheduler falls back to a directory engine. Images are read
// through NtfsImageVolumeReader on every platform.
#include "core/mft/volume_reader.h"

namespace ombrix::core {

namespace {

class UnavailableVolumeReader final : public IVolumeReader {
 public:
  VolumeOpenResult Open(const std::u16string&) override { return VolumeOpenResult::NotAvailable; }
  bool QueryGeometry(NtfsVolumeGeometry&) override { return false; }
  bool ResolveRoot(const std::u16string&, ScanRootLocation&) override { return false; }
  bool ReadAt(std::uint64_t, std::uint8_t*, std::uint32_t, std::uint32_t& bytesRead) override {
    bytesRead = 0;
    return false;
  }
  std::optional<PathAttributes> RootAttributes(const std::u16string&) override {
    return std::nullopt;
  }
};

}  // namespace

std::unique_ptr<IVolumeReader> MakeLiveVolumeReader() {
  return std::make_unique<UnavailableVolumeReader>();
}

}  // namespace ombrix::core
