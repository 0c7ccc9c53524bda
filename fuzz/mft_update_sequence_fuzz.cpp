// ApplyUpdateSequence on arbitrary bytes. The first two input bytes choose
// the sector size (so 512, 4096 and odd strides are all reached); the rest
// is the record, copied into a buffer of exactly its length so that any
// read or write past it is caught.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/mft/mft_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint32_t sectorSize = static_cast<std::uint32_t>(data[0] | (data[1] << 8));
  std::vector<std::uint8_t> record(data + 2, data + size);
  const std::vector<std::uint8_t> before = record;
  const bool repaired = ombrix::core::ApplyUpdateSequence(record.data(), record.size(), sectorSize);
  // Nothing shorter than a record header is ever accepted or touched.
  if (record.size() < 42 && (repaired || record != before)) __builtin_trap();
  return 0;
}
