// Ombrix's own saved-scan file (".ombrixscan"): a finished result, kept so
// it can be shown again without the disk, compared with a later one, or
// sent elsewhere. The layout, in the order it lies in the file, all
// integers little-endian:
//
//   fixed header, 32 bytes
//     magic          8  kSavedScanMagic (a high first byte and a ^Z, so a
//                       text-mode copy or a text file is told apart)
//     version        4  kSavedScanVersion; a reader refuses anything newer
//     metadataLength 4  bytes of the metadata that follows
//     payloadLength  8  bytes of the compressed payload
//     rawLength      8  bytes of the payload once decompressed
//   metadata, uncompressed (readable without the payload)
//     status, engine                 u32 each
//     scanTime (FILETIME), elapsedMs u64, i64
//     fileCount, folderCount, issueCount, nodeCount, rootIndex,
//     rootSize, rootSizeOnDisk, nameBytes, linkGroupCount      u64 each
//     hasSpace u8, then (when 1) the seven VolumeSpace fields   u64 each
//     rootPath, message              u32 unit count + UTF-16 units
//   payload: one zstd frame of the raw payload below
//   checksum          8  XXH64 of every byte before it
//
// The raw payload holds the nodes as columns, in node order, so that each
// column's alike bytes lie together for the compressor; the multi-byte
// columns are stored byte plane by byte plane (all first bytes, then all
// second bytes, ...), which puts the zero high bytes of sizes, times and
// parents into long runs:
//   flags          u8  per node (kNode* bits)
//   parentDistance u32 per node: index - parent, 0 for a node without one
//   attributes     u32 per node
//   size           u64 per node: a file's size, a folder's own entry
//   sizeOnDisk     u64 per node: the same on disk
//   lastWriteTime  u64 per node
//   names          nameBytes: each name as the result encodes it
//                  (node_name.h), one after another
//   linkCounts     u32 per link group
//   linkGroups     u32 per hard-linked node, in node order
//   ownPaths       u32 unit count + units, per node with kNodeOwnPath
//   issues         u32 error code, u32 unit count + units, per issue
// Folder totals are not stored: they follow from the nodes, and the
// reader checks the ones it computes against the counts and the root's
// sizes in the metadata.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/scan_model.h"

namespace ombrix::app {

inline constexpr std::string_view kSavedScanMagic{"\x89OMBRIX\x1A", 8};
inline constexpr std::uint32_t kSavedScanVersion = 1;
inline constexpr std::uint64_t kSavedScanHeaderLength = 32;
inline constexpr std::uint64_t kSavedScanChecksumLength = 8;
// The file name extension, with its dot.
inline constexpr char16_t kSavedScanExtension[] = u".ombrixscan";

// Node flags.
inline constexpr std::uint8_t kNodeDirectory = 0x1;
inline constexpr std::uint8_t kNodeOwnPath = 0x2;  // a root, or a folder keeping its own path
inline constexpr std::uint8_t kNodeHardLinked = 0x4;
inline constexpr std::uint8_t kNodePlaceholder = 0x8;
inline constexpr std::uint8_t kKnownNodeFlags = 0xF;

// Fixed bytes per node in the raw payload (flags, parent distance,
// attributes, two sizes, time), names and the rest not counted: what
// bounds a node count before anything is allocated for it.
inline constexpr std::uint64_t kFixedBytesPerNode = 1 + 4 + 4 + 8 + 8 + 8;

// Why a file could not be opened as a scan.
enum class SavedScanError {
  None,
  Unreadable,     // the file could not be read at all
  NotAScan,       // neither a saved scan nor an ncdu export
  Truncated,      // shorter than its own header says
  Corrupted,      // checksum or contents wrong
  NewerVersion,   // written by a later Ombrix
  OutOfMemory,    // too large for this machine's memory
};

// A file read as a scan: our own format or an ncdu export.
struct OpenedScan {
  std::optional<core::ScanResult> result;  // set exactly when error is None
  SavedScanError error = SavedScanError::None;
};

// One English line per error, for ombrix-scan; the window has its own
// translated texts.
std::string_view SavedScanErrorText(SavedScanError error);

}  // namespace ombrix::app
