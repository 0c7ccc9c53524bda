#include "app/drive_list_win.h"

#include <windows.h>

#include "base/win/disk_space_win.h"
#include "base/win/wide_string_win.h"

namespace ombrix::app {

DriveQueries SystemDriveQueries() {
  DriveQueries queries;
  queries.logicalDriveMask = [] { return static_cast<std::uint32_t>(::GetLogicalDrives()); };
  queries.driveType = [](const std::u16string& root) {
    return static_cast<std::uint32_t>(::GetDriveTypeW(base::WideView(root)));
  };
  queries.volumeInformation = [](const std::u16string& root, std::u16string& label,
                                 std::u16string& fileSystem) {
    wchar_t labelBuffer[MAX_PATH] = {};
    wchar_t fileSystemBuffer[MAX_PATH] = {};
    if (!::GetVolumeInformationW(base::WideView(root), labelBuffer, MAX_PATH, nullptr, nullptr,
                                 nullptr, fileSystemBuffer, MAX_PATH)) {
      return false;
    }
    label = base::FromWide(labelBuffer);
    fileSystem = base::FromWide(fileSystemBuffer);
    return true;
  };
  queries.diskSpace = [](const std::u16string& root, std::uint64_t& totalBytes,
                         std::uint64_t& freeBytes) {
    const std::optional<base::DiskSpace> space = base::QueryDiskSpace(root);
    if (!space) return false;
    totalBytes = space->totalBytes;
    freeBytes = space->freeBytes;
    return true;
  };
  return queries;
}

std::vector<DriveInfo> EnumerateDrives() {
  // Asking about an empty card reader must not pop up "insert a disk".
  // Only this thread's mode changes: the scan thread may be running.
  DWORD previousMode = 0;
  const bool modeSet = ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode) != FALSE;
  std::vector<DriveInfo> drives = EnumerateDrives(SystemDriveQueries());
  if (modeSet) {
    ::SetThreadErrorMode(previousMode, nullptr);
  }
  return drives;
}

}  // namespace ombrix::app
