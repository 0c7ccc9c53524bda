// Reading a saved-scan file (saved_scan_format.h) back into a result, as it
// was when it was scanned. Every byte comes from outside: the checksum is
// checked before anything else is read, every count against the bytes that
// can hold it before anything is allocated for it, and every node against
// the ones before it (a parent must come first and be a folder), so a bad
// file gives an error, never a crash nor a tree that is only partly there.
// Any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/saved/saved_scan_format.h"
#include "core/scan_model.h"

namespace ombrix::app {

// True when the bytes start like a saved scan (its magic).
bool HasSavedScanMagic(std::string_view bytes);

OpenedScan DecodeSavedScan(std::string_view file);

// What the header tells without the payload: for choosing among kept scans.
struct SavedScanSummary {
  std::u16string rootPath;
  std::uint64_t scanTime = 0;
  std::uint64_t nodeCount = 0;
};
std::optional<SavedScanSummary> ReadSavedScanSummary(std::string_view file);

}  // namespace ombrix::app
