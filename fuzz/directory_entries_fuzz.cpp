// Feeds arbitrary bytes to the directory batch decoder. The first four
// bytes are the length the call claims to have written (it may exceed the
// buffer); the rest is the buffer, copied to its own allocation so that any
// read past it is caught by AddressSanitizer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "base/le_reader.h"
#include "core/ntquery/directory_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<std::uint32_t> claimed = ombrix::base::LeReader(data, size).U32(0);
  if (!claimed) return 0;
  const std::uint32_t bytesReturned = *claimed;
  const std::vector<std::uint8_t> buffer(data + 4, data + size);
  std::vector<ombrix::core::DirectoryEntry> entries;
  ombrix::core::ParseEntries(buffer.data(), buffer.size(), bytesReturned, u"C:\\f\\", entries);
  // Each decoded record holds at least a header and its name within the
  // bytes, so there can never be more entries than fit.
  const std::size_t readable = bytesReturned < buffer.size() ? bytesReturned : buffer.size();
  if (entries.size() > readable / ombrix::core::file_id_both_dir_information::kFileName) {
    std::abort();
  }
  for (const ombrix::core::DirectoryEntry& entry : entries) {
    if (entry.name.size() * 2 > readable || entry.name == u"." || entry.name == u"..") std::abort();
  }
  return 0;
}
