// Which kinds of files take the space below a folder: every extension with
// its files' total size, size on disk and count, the largest first, files
// without an extension as one type. Extensions that differ only in case
// are one type (".JPG" and ".jpg"), spelt as the type's first file in node
// order spells it.
//
// A breakdown of the root visits every file of the result once; on a
// volume of tens of millions it runs in slices on a few threads, each with
// its own tallies, merged at the end. Each file adds its logical size per
// name (as the folder totals do) and its clusters once, however many of
// its names are of the type.
#pragma once

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "app/find/files_below.h"
#include "core/scan_model.h"

namespace ombrix::app {

struct FileTypeRow {
  std::u16string extension;  // dot included; empty for files without one
  std::uint64_t size = 0;
  std::uint64_t sizeOnDisk = 0;
  std::uint64_t fileCount = 0;

  bool operator==(const FileTypeRow&) const = default;
};

struct FileTypeBreakdown {
  std::vector<FileTypeRow> rows;  // largest first on the size basis asked for
  // All files below the folder.
  std::uint64_t size = 0;
  std::uint64_t sizeOnDisk = 0;
  std::uint64_t fileCount = 0;
};

// Percent of all files' size (on the basis) that the type takes; 0 when
// there is nothing.
double ShareOfType(const FileTypeBreakdown& breakdown, const FileTypeRow& row,
                   core::SizeBasis basis);

// The breakdown of the files below `below` (none or the root: every file);
// none when a stop was requested before it was complete.
std::optional<FileTypeBreakdown> BreakDownFileTypes(const core::ScanResult& result,
                                                    std::uint64_t below, core::SizeBasis basis,
                                                    std::stop_token stop = {});

// The breakdown of every file in exactly `slices` slices of the node
// arrays (the root's breakdown picks its own number): for checking that
// the slices' tallies merge into the same rows.
std::optional<FileTypeBreakdown> BreakDownEveryFileInSlices(const core::ScanResult& result,
                                                            core::SizeBasis basis,
                                                            std::uint64_t slices,
                                                            std::stop_token stop = {});

// The largest files of one type below `below`, as FindFiles lists them;
// extension is a row's (any case).
std::optional<FileMatches> LargestFilesOfType(const core::ScanResult& result, std::uint64_t below,
                                              std::u16string_view extension,
                                              core::SizeBasis basis, std::uint64_t limit,
                                              std::stop_token stop = {});

}  // namespace ombrix::app
