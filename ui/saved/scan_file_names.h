// The names of scan files as the window deals with them: which dropped
// files are opened as scans, and the name a save offers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ombrix::ui {

// Ends in ".ombrixscan" or ".json" (an ncdu export), in any case.
bool IsScanFileName(std::u16string_view path);

// "Photos 2026-12-07.ombrixscan" for a scan of C:\Data\Photos taken that
// day (localScanTime, a FILETIME in the shown time zone); "C 2026-12-07..."
// for a drive. Characters a file name cannot hold become '_'.
std::u16string SuggestedScanFileName(std::u16string_view rootPath, std::uint64_t localScanTime);

}  // namespace ombrix::ui
