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

// One accepted $FILE_NAME. The name itself lives in the table's name arena
// (MftNameTable): a million names then cost a few large allocations instead
// of one each, and the arena becomes the result's own when the tree is
// built, so no name is copied again.
struct MftNameEntry {
  std::uint64_t fileReference = 0;    // base record number of the file
  std::uint64_t parentReference = 0;  // record number of the folder holding the name
  std::uint64_t size = 0;             // logical size in bytes; 0 for folders
  std::uint64_t nameOffset = 0;       // the name in MftNameTable::names
  std::uint32_t attributes = 0;       // Windows file attribute bits
  bool isDirectory = false;
  // True when the entry's own record held a qualifying unnamed $DATA (resident,
  // or non-resident with lowest VCN 0). Entries without one take the size
  // another record of the same file reports (see MftDataSize).
  bool hasOwnDataSize = false;
};

// Decoded name entries in record order, and their names.
struct MftNameTable {
  std::vector<MftNameEntry> entries;
  NameArena names;

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
  }
};

// The unnamed $DATA size one record reports for its file, keyed by the base
// file reference. Names and data do not always share a record: with an
// $ATTRIBUTE_LIST the $DATA may sit in an extension record while the
// $FILE_NAME real size in the base record is stale (often 0).
struct MftDataSize {
  std::uint64_t fileReference = 0;
  std::uint64_t size = 0;
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
// dataSizes is given, also appends the record's qualifying unnamed $DATA
// size, if it has one (at most one per record, 0 included), keyed by the
// base file reference; extension records report too, damaged or free
// records do not. A non-resident $DATA qualifies only in its extent that
// starts at VCN 0: later extents carry no valid size, so they neither
// report nor change the size of the record's own names.
void ParseFileRecord(std::uint8_t* record, std::uint64_t recordLength, std::uint64_t recordNumber,
                     std::uint32_t sectorSize, MftNameTable& table,
                     std::vector<MftDataSize>* dataSizes = nullptr);

// Decodes the run list of $MFT's unnamed $DATA from the repaired bytes of
// record 0. True when the mapping pairs ended at their end marker.
bool DecodeMftDataRuns(const std::vector<std::uint8_t>& record0, std::vector<MftDataRun>& runs,
                       std::uint64_t& dataSize);

}  // namespace ombrix::core
