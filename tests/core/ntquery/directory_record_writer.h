// Builds FILE_ID_BOTH_DIR_INFORMATION batches byte by byte, the way a
// file-system driver lays them out (records 8-byte aligned, the last one
// with NextEntryOffset 0), for decoder tests and the fake lister.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ntquery/directory_entries.h"

namespace ombrix::test {

struct RecordFields {
  std::u16string name;
  std::uint32_t attributes = 0x20;  // FILE_ATTRIBUTE_ARCHIVE
  std::int64_t endOfFile = 0;
  std::uint64_t lastWriteTime = 0;
  std::int64_t allocationSize = 0;
  std::uint32_t eaSize = 0;  // the reparse tag of a reparse point
  std::uint64_t fileId = 0;
};

inline void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t offset,
                            std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) {
    bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

inline std::size_t AlignedRecordLength(const std::u16string& name) {
  const std::size_t length = core::file_id_both_dir_information::kFileName + 2 * name.size();
  return (length + 7) & ~std::size_t{7};
}

// Appends one record at the end of bytes and returns its offset. The
// record's NextEntryOffset is left 0; LinkRecords fills them in.
inline std::size_t AppendRecord(std::vector<std::uint8_t>& bytes, const RecordFields& fields) {
  namespace layout = core::file_id_both_dir_information;
  const std::size_t offset = bytes.size();
  bytes.resize(offset + AlignedRecordLength(fields.name), 0);
  PutLittleEndian(bytes, offset + layout::kLastWriteTime, fields.lastWriteTime, 8);
  PutLittleEndian(bytes, offset + layout::kEndOfFile, static_cast<std::uint64_t>(fields.endOfFile),
                  8);
  PutLittleEndian(bytes, offset + layout::kAllocationSize,
                  static_cast<std::uint64_t>(fields.allocationSize), 8);
  PutLittleEndian(bytes, offset + layout::kFileAttributes, fields.attributes, 4);
  PutLittleEndian(bytes, offset + layout::kEaSize, fields.eaSize, 4);
  PutLittleEndian(bytes, offset + layout::kFileId, fields.fileId, 8);
  PutLittleEndian(bytes, offset + layout::kFileNameLength, 2 * fields.name.size(), 4);
  for (std::size_t i = 0; i < fields.name.size(); ++i) {
    PutLittleEndian(bytes, offset + layout::kFileName + 2 * i, fields.name[i], 2);
  }
  return offset;
}

inline void LinkRecords(std::vector<std::uint8_t>& bytes, const std::vector<std::size_t>& offsets) {
  for (std::size_t i = 0; i + 1 < offsets.size(); ++i) {
    PutLittleEndian(bytes, offsets[i] + core::file_id_both_dir_information::kNextEntryOffset,
                    offsets[i + 1] - offsets[i], 4);
  }
}

// A whole well-formed batch. When offsets is given it receives each
// record's offset.
inline std::vector<std::uint8_t> EncodeBatch(const std::vector<RecordFields>& records,
                                             std::vector<std::size_t>* offsets = nullptr) {
  std::vector<std::uint8_t> bytes;
  std::vector<std::size_t> starts;
  for (const RecordFields& record : records) starts.push_back(AppendRecord(bytes, record));
  LinkRecords(bytes, starts);
  if (offsets != nullptr) *offsets = starts;
  return bytes;
}

}  // namespace ombrix::test
