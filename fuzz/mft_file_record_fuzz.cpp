// ParseFileRecord on arbitrary bytes: the input is one record, decoded with
// 512-byte sectors and again with the sector size its length suggests.
// Checks what must hold for any input: names fit a $FILE_NAME, folders have
// size 0, references are 48-bit, and reported sizes come with entries
// marked as having their own.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/mft/mft_record.h"

namespace {

void Check(const std::vector<ombrix::core::MftNameEntry>& entries,
           const std::vector<ombrix::core::MftDataSize>& sizes) {
  using ombrix::core::kMftReferenceMask;
  if (sizes.size() > 1) __builtin_trap();
  for (const auto& entry : entries) {
    if (entry.name.size() > 255) __builtin_trap();
    if (entry.isDirectory && entry.size != 0) __builtin_trap();
    if ((entry.parentReference & ~kMftReferenceMask) != 0) __builtin_trap();
    if ((entry.fileReference & ~kMftReferenceMask) != 0) __builtin_trap();
    if (entry.hasOwnDataSize != (sizes.size() == 1)) __builtin_trap();
  }
}

void Decode(const std::uint8_t* data, std::size_t size, std::uint32_t sectorSize) {
  std::vector<std::uint8_t> record(data, data + size);
  std::vector<ombrix::core::MftNameEntry> entries;
  std::vector<ombrix::core::MftDataSize> sizes;
  ombrix::core::ParseFileRecord(record.data(), record.size(), 1234, sectorSize, entries, &sizes);
  Check(entries, sizes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Decode(data, size, 512);
  if (size >= 4096) Decode(data, size, 4096);
  if (size > 0) Decode(data, size, 2 + data[size - 1]);
  return 0;
}
