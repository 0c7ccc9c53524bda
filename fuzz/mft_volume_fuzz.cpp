// The whole MFT engine on a hostile volume: the input is the volume's bytes
// (boot sector first), read through the same image code as real image
// files. Geometry, run list, chunking, the mends and the tree walk (cycles,
// damaged parents) must all end with a bounded, well-formed result.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "core/mft/ntfs_mft_engine.h"
#include "core/mft/volume_image.h"

namespace {

using namespace ombrix::core;
namespace base = ombrix::base;

class MemoryVolume final : public IVolumeReader {
 public:
  MemoryVolume(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  VolumeOpenResult Open(const std::u16string&) override {
    NtfsVolumeGeometry unused;
    return ParseNtfsBootSector(data_, size_, unused) ? VolumeOpenResult::Opened
                                                     : VolumeOpenResult::NotAvailable;
  }
  bool QueryGeometry(NtfsVolumeGeometry& geometry) override {
    if (!ParseNtfsBootSector(data_, size_, geometry)) return false;
    LimitToVolumeLength(geometry, size_);
    return true;
  }
  bool ResolveRoot(const std::u16string&, ScanRootLocation& root) override {
    root = {kNtfsRootFolderRecord, {}};
    return true;
  }
  bool ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::uint32_t length,
              std::uint32_t& bytesRead) override {
    bytesRead = 0;
    if (offset >= size_) return true;  // past the end: a short (empty) read
    bytesRead = static_cast<std::uint32_t>(std::min<std::uint64_t>(length, size_ - offset));
    std::memcpy(buffer, data_ + offset, bytesRead);
    return true;
  }
  std::optional<ombrix::core::PathAttributes> RootAttributes(const std::u16string&) override {
    return std::nullopt;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryVolume volume(data, size);
  // No input is skipped for its claimed sizes: a record 0 claiming a data
  // stream of petabytes must not make the engine reserve for it, and the
  // fuzzer's malloc limit turns any such allocation into a finding.
  ScanCancellationToken token;
  const ScanResult result = ScanNtfsVolume(volume, u"\\", 2, token, {});
  const ScanNodes& nodes = result.nodes;
  if (result.status == ScanStatus::Completed && nodes.empty()) __builtin_trap();
  // The nodes are laid out by one thread and filled by others: whatever the
  // damage, every node but the root names a folder before it as its parent,
  // and is listed exactly once, by that parent. Totals add up.
  std::uint64_t listed = 0;
  std::uint64_t files = 0;
  for (std::uint64_t i = 0; i < nodes.size(); ++i) {
    const std::uint64_t parent = nodes.Parent(i);
    if ((parent == kNoNode) != (i == result.rootIndex)) __builtin_trap();
    if (parent != kNoNode && (parent >= i || !nodes.IsDirectory(parent))) __builtin_trap();
    for (const std::uint32_t child : nodes.Children(i)) {
      if (child >= nodes.size() || nodes.Parent(child) != i) __builtin_trap();
      ++listed;
    }
    if (!nodes.IsDirectory(i)) ++files;
    nodes.Path(i);
  }
  if (!nodes.empty() && listed + 1 != nodes.size()) __builtin_trap();
  if (!nodes.empty() && nodes.FileCount(result.rootIndex) != files) __builtin_trap();
  return 0;
}
