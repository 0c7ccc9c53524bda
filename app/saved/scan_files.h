// Scans as files: saving a result (our own format, or ncdu's export) and
// opening a file of either kind, told apart by its first bytes. File
// access goes through the settings' file operations, so a test can make
// any step fail; a save writes beside the target and then replaces it, so
// an earlier file of the same name survives a save that fails. Any thread;
// the result is only read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/saved/saved_scan_format.h"
#include "app/settings/settings_files.h"
#include "core/scan_model.h"

namespace ombrix::app {

// The bytes of a saved scan or of an ncdu export, as a result.
OpenedScan ReadScanBytes(std::string_view bytes);
OpenedScan OpenScanFile(const SettingsFiles& files, const std::u16string& path);

// nodeCount: the nodes the scan found (see EncodeSavedScan).
bool SaveScanFile(const SettingsFiles& files, const std::u16string& path,
                  const core::ScanResult& result, std::uint64_t nodeCount);
// ncdu's JSON export of the same, dated timestampSeconds (UNIX time).
bool ExportNcduFile(const SettingsFiles& files, const std::u16string& path,
                    const core::ScanResult& result, std::uint64_t nodeCount,
                    std::uint64_t timestampSeconds);

}  // namespace ombrix::app
