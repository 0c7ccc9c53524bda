// ParseFileRecord on arbitrary bytes: the input is one record, decoded with
// 512-byte sectors and again with the sector size its length suggests.
// Checks what must hold for any input: names fit a $FILE_NAME and lie back
// to back in the table's name arena, folders have size 0, references are
// 48-bit, and reported sizes come with entries marked as having their own;
// a record reports nothing it does not hold.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/mft/mft_record.h"

namespace {

void Check(const ombrix::core::MftNameTable& table,
           const std::vector<ombrix::core::MftRecordData>& sizes) {
  using ombrix::core::kMftReferenceMask;
  if (sizes.size() > 1) __builtin_trap();
  std::uint64_t nameEnd = 0;
  for (const auto& entry : table.entries) {
    if (entry.nameOffset != nameEnd) __builtin_trap();
    const ombrix::core::NodeName name = table.NameOf(entry);
    if (name.size() > 255) __builtin_trap();
    nameEnd += name.EncodedLength();
    if (entry.isDirectory && entry.size != 0) __builtin_trap();
    if ((entry.parentReference & ~kMftReferenceMask) != 0) __builtin_trap();
    if ((entry.fileReference & ~kMftReferenceMask) != 0) __builtin_trap();
    // A record reports its data when it holds the unnamed stream's size or
    // any stream's clusters; its names own a size exactly when it held one.
    if (entry.hasOwnDataSize != (sizes.size() == 1 && sizes[0].hasSize)) __builtin_trap();
  }
  if (sizes.size() == 1 && !sizes[0].hasSize && sizes[0].allocated == 0) __builtin_trap();
  if (nameEnd != table.names.UsedBytes()) __builtin_trap();
}

void Decode(const std::uint8_t* data, std::size_t size, std::uint32_t sectorSize) {
  std::vector<std::uint8_t> record(data, data + size);
  ombrix::core::MftNameTable table;
  std::vector<ombrix::core::MftRecordData> sizes;
  ombrix::core::ParseFileRecord(record.data(), record.size(), 1234, sectorSize, table, &sizes);
  Check(table, sizes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Decode(data, size, 512);
  if (size >= 4096) Decode(data, size, 4096);
  if (size > 0) Decode(data, size, 2 + data[size - 1]);
  return 0;
}
