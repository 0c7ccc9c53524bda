// The user's choices as the program keeps them in memory. The window thread
// owns the one live record; the scan thread never reads it (the thread
// count reaches the scan as a copy).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/scan_nodes.h"

namespace ombrix::app {

struct AppSettings {
  // Carried from the file and written back unchanged; nothing else sets it.
  std::u16string appVersion = u"v1.01";
  // "system" or a locale name; the language tables judge it, not the file.
  std::u16string language = u"system";
  std::u16string theme = u"MysticForest";
  // Newest first, stored as given: trimming and de-duplication are the
  // recent-folders menu's business.
  std::vector<std::u16string> recentFolders;
  std::uint32_t threadsPerDrive = 1;
  // The upper bound the scan settings dialog offers; never stored.
  std::uint32_t maxThreadsPerDrive = 1;
  bool showAdminPromptOnStartup = true;
  bool suppressAdminPrompt = false;
  bool alwaysStartAsAdministrator = false;
  // What the lists rank and share by; files written before it existed
  // read as logical.
  core::SizeBasis sizeBasis = core::SizeBasis::Logical;
  // Each finished scan is kept in the settings folder (kept_scans.h), so the
  // previous scan of a drive is at hand; files written before it existed
  // read as on.
  bool keepLastScans = true;

  friend bool operator==(const AppSettings&, const AppSettings&) = default;
};

// How the size basis is written in the settings file.
inline constexpr char16_t kSizeBasisLogicalWord[] = u"logical";
inline constexpr char16_t kSizeBasisOnDiskWord[] = u"disk";

// The most threads per drive a fresh record gets, however many the machine
// has: more rarely help one disk.
inline constexpr std::uint32_t kDefaultThreadsPerDriveCap = 8;

// std::thread::hardware_concurrency() may answer 0 (unknown); 4 is assumed
// then.
std::uint32_t HardwareThreadsFrom(unsigned reported);

// A thread count of 0 or above the machine's falls back to
// min(hardwareThreads, 8); the bound becomes hardwareThreads.
void NormalizeSettings(AppSettings& settings, std::uint32_t hardwareThreads);

// What LoadSettings starts from before it reads the file.
AppSettings DefaultSettings(std::uint32_t hardwareThreads);

}  // namespace ombrix::app
