// Mends to decoded entries whose record is not the whole story of their
// file. With an $ATTRIBUTE_LIST, NTFS spreads one file over a base record
// and extension records, and the record header alone can mislead:
//  - sizes: Windows may keep the names in the base record and the unnamed
//    $DATA in an extension record (or the other way round), and leaves the
//    $FILE_NAME real size stale, often 0. A file name whose own record held
//    no unnamed $DATA takes the size another record of the same file
//    reported.
//  - allocation: a file's streams can lie in several records; its size on
//    disk is their allocations added up, whichever record holds the name.
//  - folders: a folder with a large index can have its $FILE_NAME moved to
//    an extension record, whose header lacks the directory flag. Its name
//    still carries the "has a file-name index" bit, which only folders have;
//    without this the folder would show as an empty file and its whole
//    sub-tree would be lost.
// Both run once after enumeration, in one pass each, allocating only an
// index of the (usually few) entries that need a size, never per record.
#pragma once

#include <cstdint>
#include <vector>

#include "core/mft/mft_record.h"

namespace ombrix::core {

// $FILE_NAME flag of names whose file has a file-name index: a folder.
inline constexpr std::uint32_t kFileNameIndexPresent = 0x10000000;

void ApplyFolderFlagMend(std::vector<MftNameEntry>& entries);

// When several records of one file report a size, the first in record
// order (the base record, for files whose data starts there) wins.
void ApplyDataSizeMend(std::vector<MftNameEntry>& entries,
                       const std::vector<MftRecordData>& dataSizes);

// Every name of a file takes the allocation of all its records' streams.
void ApplyAllocationMend(std::vector<MftNameEntry>& entries,
                         const std::vector<MftRecordData>& dataSizes);

}  // namespace ombrix::core
