// The local drives the selector offers: fixed and removable drives A: to Z:,
// in letter order. Network, optical and RAM drives are left out. The list is
// built on the window thread at start-up and on device changes; each drive
// is queried synchronously.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ombrix::app {

enum class DriveKind : std::uint32_t {
  Fixed = 0,
  Removable = 1,
};

struct DriveInfo {
  std::u16string rootPath;  // "C:\"
  std::u16string displayText;
  std::u16string volumeLabel;
  std::u16string fileSystemName;
  DriveKind kind = DriveKind::Fixed;
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytes = 0;  // all free bytes, not only the caller's quota
};

// GetDriveTypeW's values that are listed.
inline constexpr std::uint32_t kDriveTypeRemovable = 2;
inline constexpr std::uint32_t kDriveTypeFixed = 3;

// The drive questions asked of Windows, one function per call, so the list
// logic can run on made-up drives.
struct DriveQueries {
  std::function<std::uint32_t()> logicalDriveMask;  // bit 0 is A:
  std::function<std::uint32_t(const std::u16string& root)> driveType;
  // False leaves label and file system empty.
  std::function<bool(const std::u16string& root, std::u16string& label, std::u16string& fileSystem)>
      volumeInformation;
  // False leaves both sizes 0.
  std::function<bool(const std::u16string& root, std::uint64_t& totalBytes,
                     std::uint64_t& freeBytes)>
      diskSpace;
};

// "C: System", or "D: Local Disk" / "E: Removable Disk" without a label.
// The two fallback texts are not translated.
std::u16string DriveCaption(const std::u16string& rootPath, const std::u16string& volumeLabel,
                            DriveKind kind);

std::vector<DriveInfo> EnumerateDrives(const DriveQueries& queries);

}  // namespace ombrix::app
