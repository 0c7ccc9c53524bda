// The independent count a scan is checked against: tests/data/build_trees.py
// writes, next to each test tree, one line per entry below the root as
// "relative/path<TAB>d|f<TAB>size" ('/'-separated, UTF-8, from Python's
// os.walk and lstat). Any engine's result can be compared with it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/scan_model.h"

namespace ombrix::test {

struct ListingEntry {
  std::string relativePath;
  bool isDirectory = false;
  std::uint64_t size = 0;
};

struct TreeListing {
  std::vector<ListingEntry> entries;
};

// Nothing when the file cannot be read or a line is malformed.
std::optional<TreeListing> ReadTreeListing(const std::string& listingPath);

// What differs between the scanned tree and the listing: entries missing or
// extra, kinds, file sizes, every folder's four totals and the result's
// counts. Readable lines, at most a screenful; empty when they agree.
std::vector<std::string> DifferencesFromListing(const core::ScanResult& result,
                                                const TreeListing& listing);

}  // namespace ombrix::test
