// The last scans of each root, kept in the settings folder so that the
// previous scan of a drive is one click away. Per root there are at most
// two files, its latest scan and the one before it; together all kept
// files stay under a cap, the oldest dropped first.
//
// A kept file's scan time is taken as its last-write time, which the
// folder listing gives without opening the file (the scan time inside a
// saved scan sits in its compressed part). The two differ by the encoding
// time only: a file is written right after its scan ended, a rotation
// renames without touching the time, and no scan starts while one is being
// kept, so a scan's own file is always written after its scan time and the
// file before it always before.
//
// Any thread; the window keeps a scan on its background worker. All file
// access goes through SettingsFiles, so a test can fail any step.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings/settings_files.h"
#include "core/scan_model.h"

namespace ombrix::app {

inline constexpr char16_t kKeptScansFolderName[] = u"Last scans";
inline constexpr char16_t kPreviousKeptScanSuffix[] = u".previous";
// 1 GiB: room for the last two scans of a few large drives.
inline constexpr std::uint64_t kKeptScansCapBytes = std::uint64_t{1} << 30;

// "Last scans" beside the settings file; empty when the settings path has
// no folder (the settings folder was not found), so nothing is kept in
// whatever the current folder happens to be.
std::u16string KeptScansFolder(std::u16string_view settingsFilePath);

// The name of a root's latest kept scan: "C.ombrixscan" for C:\, "All local
// drives.ombrixscan" for all of them, and for a folder its path made
// file-name safe (its end when long) and a hash of the case-folded path,
// "C__Data_Photos-3f2a9c0d1e7b.ombrixscan", so C:\Data and c:\DATA\ name the
// same file.
std::u16string KeptScanName(std::u16string_view rootPath);
// The root's kept scan before the latest: "C.previous.ombrixscan".
std::u16string PreviousKeptScanName(std::u16string_view rootPath);

// Keeps result as its root's latest scan, its former latest becoming the
// previous one, then drops the oldest kept files while all of them take
// more than capBytes (never the file just written). False when the new
// scan could not be kept; a failure loses no file but, at worst, the former
// previous scan a rotation had already replaced.
bool KeepScan(const SettingsFiles& files, const std::u16string& folder,
              const core::ScanResult& result, std::uint64_t nodeCount,
              std::uint64_t capBytes = kKeptScansCapBytes);

// The newest kept file of rootPath written before scanTime (a FILETIME, as
// core::ScanResult::scanTime): the scan to compare the shown one with. None
// when there is none or the folder cannot be listed.
std::optional<std::u16string> KeptScanBefore(const SettingsFiles& files,
                                             const std::u16string& folder,
                                             std::u16string_view rootPath,
                                             std::uint64_t scanTime);

}  // namespace ombrix::app
