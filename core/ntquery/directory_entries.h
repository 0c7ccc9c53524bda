// Decoding of one NtQueryDirectoryFile batch in the
// FileIdBothDirectoryInformation class (37). Pure byte logic, so it runs and
// is tested on every platform.
//
// The buffer's contents come from a file-system driver and are not trusted:
// every record must lie inside the bytes the call reported as written (the
// IO_STATUS_BLOCK's Information) and inside the buffer. A record that would
// reach past them, or a NextEntryOffset that points back into the record
// itself, ends the batch there; nothing outside the bytes is read and no
// offset can make the walk loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::core {

// FILE_ID_BOTH_DIR_INFORMATION, as laid out in the Windows Driver Kit's
// ntifs.h (documented on learn.microsoft.com under
// "FILE_ID_BOTH_DIR_INFORMATION structure"). Offsets in bytes.
namespace file_id_both_dir_information {
inline constexpr std::uint32_t kInformationClass = 37;
inline constexpr std::size_t kNextEntryOffset = 0;  // u32, 0 on the last record
inline constexpr std::size_t kLastWriteTime = 24;   // i64 FILETIME
inline constexpr std::size_t kEndOfFile = 40;       // i64 logical size
inline constexpr std::size_t kAllocationSize = 48;  // i64 bytes the clusters take
inline constexpr std::size_t kFileAttributes = 56;  // u32
inline constexpr std::size_t kFileNameLength = 60;  // u32, bytes
// u32; for a reparse point the reparse tag instead (FILE_ID_BOTH_DIR_INFORMATION
// documents EaSize so: "If FileAttributes includes FILE_ATTRIBUTE_REPARSE_POINT,
// this member specifies the reparse tag").
inline constexpr std::size_t kEaSize = 64;
inline constexpr std::size_t kFileId = 96;     // i64, the file's reference on NTFS
inline constexpr std::size_t kFileName = 104;  // UTF-16, not terminated
}  // namespace file_id_both_dir_information

struct DirectoryEntry {
  std::u16string name;
  std::u16string path;  // the listed folder's path, one separator, name
  std::uint32_t attributes = 0;
  std::uint64_t lastWriteTime = 0;
  std::uint64_t size = 0;  // EndOfFile; 0 when the driver reports a negative one
  std::uint64_t allocationSize = 0;  // AllocationSize, the same way
  std::uint64_t fileId = 0;          // names of one file share it; 0 when unknown
  std::uint32_t reparseTag = 0;      // 0 unless a reparse point
  std::uint8_t isDirectory = 0;
  std::uint8_t isReparsePoint = 0;
};

enum class BatchEnd {
  LastRecord,  // the walk ended at a record whose NextEntryOffset is 0
  Truncated,   // a record did not fit in the returned bytes: the rest was dropped
};

// Clears entries, then appends one entry per record of the batch except "."
// and "..". prefix is the folder's path already ending in a separator.
// bytesReturned is the Information field of the call; only
// min(bytesReturned, bufferLength) bytes are read.
BatchEnd ParseEntries(const std::uint8_t* buffer, std::size_t bufferLength,
                      std::size_t bytesReturned, std::u16string_view prefix,
                      std::vector<DirectoryEntry>& entries);

}  // namespace ombrix::core
