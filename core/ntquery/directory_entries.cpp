#include "core/ntquery/directory_entries.h"

#include <algorithm>

#include "base/le_reader.h"
#include "core/scan_model.h"

namespace ombrix::core {
namespace {

namespace layout = file_id_both_dir_information;

bool IsDotOrDotDot(const std::u16string& name) { return name == u"." || name == u".."; }

}  // namespace

BatchEnd ParseEntries(const std::uint8_t* buffer, std::size_t bufferLength,
                      std::size_t bytesReturned, std::u16string_view prefix,
                      std::vector<DirectoryEntry>& entries) {
  entries.clear();
  const base::LeReader reader(buffer, std::min(bytesReturned, bufferLength));
  std::uint64_t offset = 0;
  for (;;) {
    // The header is checked whole first, so the fields below are present.
    if (!reader.Contains(offset, layout::kFileName)) return BatchEnd::Truncated;
    const std::uint32_t nextEntryOffset = *reader.U32(offset + layout::kNextEntryOffset);
    const std::uint32_t nameLength = *reader.U32(offset + layout::kFileNameLength);
    const std::uint32_t attributes = *reader.U32(offset + layout::kFileAttributes);
    const std::uint64_t lastWriteTime = *reader.U64(offset + layout::kLastWriteTime);
    const std::int64_t endOfFile = *reader.I64(offset + layout::kEndOfFile);
    const std::int64_t allocationSize = *reader.I64(offset + layout::kAllocationSize);
    const std::uint32_t eaSize = *reader.U32(offset + layout::kEaSize);
    const std::uint64_t fileId = *reader.U64(offset + layout::kFileId);
    std::u16string name;
    if (!reader.Utf16(offset + layout::kFileName, nameLength / 2, name)) {
      return BatchEnd::Truncated;
    }
    if (!IsDotOrDotDot(name)) {
      DirectoryEntry& entry = entries.emplace_back();
      entry.path.reserve(prefix.size() + name.size());
      entry.path.append(prefix);
      entry.path.append(name);
      entry.name = std::move(name);
      entry.attributes = attributes;
      entry.lastWriteTime = lastWriteTime;
      entry.size = endOfFile < 0 ? 0 : static_cast<std::uint64_t>(endOfFile);
      entry.allocationSize = allocationSize < 0 ? 0 : static_cast<std::uint64_t>(allocationSize);
      entry.fileId = fileId;
      entry.isDirectory = (attributes & kAttributeDirectory) != 0 ? 1 : 0;
      entry.isReparsePoint = (attributes & kAttributeReparsePoint) != 0 ? 1 : 0;
      entry.reparseTag = entry.isReparsePoint != 0 ? eaSize : 0;
    }
    if (nextEntryOffset == 0) return BatchEnd::LastRecord;
    // A next record that would start inside this one's header and name is
    // not a record: a driver fault, and following it could revisit bytes.
    if (nextEntryOffset < layout::kFileName + nameLength) return BatchEnd::Truncated;
    offset += nextEntryOffset;
  }
}

}  // namespace ombrix::core
