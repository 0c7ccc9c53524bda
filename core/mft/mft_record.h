// Byte-level decoding of NTFS master file table records: the update
// sequence, a record's $FILE_NAME, $DATA and $REPARSE_POINT attributes, and
// the mapping pairs of $MFT's own data stream. Pure functions over the
// bytes they are given: safe to run on several threads at once on
// different records with different output vectors. Bytes from disk can hold
// anything, so nothing is read outside the length passed in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/name_arena.h"

namespace ombrix::core {

// File references keep only the 48-bit record number; sequence numbers are
// never compared.
inline constexpr std::uint64_t kMftReferenceMask = 0x0000FFFFFFFFFFFFull;

// Record numbers as the decoder keeps them: NTFS numbers fewer than 2^32
// records, so a reference at or beyond kNoRecord is damage and names none.
using MftRecordNumber = std::uint32_t;
inline constexpr MftRecordNumber kNoRecord = 0xFFFFFFFFu;

// One accepted $FILE_NAME. The name itself lives in the table's name arena
// (MftNameTable): a million names then cost a few large allocations instead
// of one each, and the arena becomes the result's own when the tree is
// built, so no name is copied again.
struct MftNameEntry {
  MftRecordNumber fileReference = 0;    // base record number of the file
  MftRecordNumber parentReference = 0;  // the folder holding the name; kNoRecord: none
  std::uint64_t size = 0;               // logical size in bytes; 0 for folders
  // The bytes the file's clusters take: every $DATA stream's allocation (the
  // total allocated of a compressed or sparse one), none for data resident
  // in the record. Records of one file add up (see MftRecordData).
  std::uint64_t allocated = 0;
  std::uint64_t lastWriteTime = 0;      // $STANDARD_INFORMATION's, 0 when none
  std::uint64_t nameOffset = 0;         // the name in MftNameTable::names
  std::uint32_t attributes = 0;         // Windows file attribute bits
  bool isDirectory = false;
  // True when the entry's own record held a qualifying unnamed $DATA (resident,
  // or non-resident with lowest VCN 0). Entries without one take the size
  // another record of the same file reports (see MftRecordData).
  bool hasOwnDataSize = false;
  bool isPlaceholder = false;     // a cloud tag or a recall attribute
  bool inExtensionRecord = false;  // the name lies in a record other than the file's base
};

// Decoded name entries in record order, and their names.
struct MftNameTable {
  std::vector<MftNameEntry> entries;
  NameArena names;
  // The clusters folders' indexes take ($INDEX_ALLOCATION), summed over
  // every record: NTFS metadata no file shows.
  std::uint64_t indexBytes = 0;

  NodeName NameOf(const MftNameEntry& entry) const { return names.At(entry.nameOffset); }
  NodeName NameAt(std::size_t index) const { return NameOf(entries[index]); }

  // Appends a copy of entry named name (nameOffset is set here).
  void Add(MftNameEntry entry, std::u16string_view name);
  // Moves other's entries and names to the end of this table, leaving other
  // empty. The names are not copied: other's arena blocks become this
  // table's.
  void Adopt(MftNameTable&& other);
  void Clear() {
    entries.clear();
    names.Clear();
    indexBytes = 0;
  }
};

// What one record reports about its file's data, keyed by the base file
// reference. Names and data do not always share a record: with an
// $ATTRIBUTE_LIST the $DATA may sit in an extension record while the
// $FILE_NAME real size in the base record is stale (often 0), and the
// streams of one file may be spread over several records.
struct MftRecordData {
  MftRecordNumber fileReference = 0;
  bool hasSize = false;      // the record held the unnamed $DATA's first extent (or it resident)
  bool isExtension = false;  // the record is not the file's base record
  std::uint64_t size = 0;    // the unnamed stream's size, when hasSize
  std::uint64_t allocated = 0;
};

struct MftDataRun {
  std::int64_t lcn = 0;
  std::uint64_t clusterCount = 0;
};

// Checks the multi-sector protection of one record and restores the sector
// tails in place. False leaves the record unusable. sectorSize is the
// volume's reported sector size; when it is above 512 a record protected in
// NTFS's usual 512-byte strides is accepted as well (disks with 4096-byte
// sectors report 4096, yet their records carry one entry per 512 bytes).
bool ApplyUpdateSequence(std::uint8_t* record, std::uint64_t recordLength,
                         std::uint32_t sectorSize);

// Decodes one record (repaired in place) and appends its name entries. When
// dataSizes is given, also appends what the record says of its file's data
// (MftRecordData), when it holds a qualifying unnamed $DATA or any stream's
// allocation; extension records report too, damaged or free records do
// not. A non-resident $DATA counts only in its extent that starts at VCN 0:
// later extents carry no valid sizes, so they neither report nor change
// the record's own names.
void ParseFileRecord(std::uint8_t* record, std::uint64_t recordLength, std::uint64_t recordNumber,
                     std::uint32_t sectorSize, MftNameTable& table,
                     std::vector<MftRecordData>* dataSizes = nullptr);

// Decodes the run list of $MFT's unnamed $DATA from the repaired bytes of
// record 0. True when the mapping pairs ended at their end marker.
bool DecodeMftDataRuns(const std::vector<std::uint8_t>& record0, std::vector<MftDataRun>& runs,
                       std::uint64_t& dataSize);

}  // namespace ombrix::core
