#include "app/drive_list.h"

#include <utility>

namespace ombrix::app {

std::u16string DriveCaption(const std::u16string& rootPath, const std::u16string& volumeLabel,
                            DriveKind kind) {
  std::u16string caption = rootPath.substr(0, 2);
  caption += u' ';
  if (!volumeLabel.empty()) {
    caption += volumeLabel;
  } else if (kind == DriveKind::Removable) {
    caption += u"Removable Disk";
  } else {
    caption += u"Local Disk";
  }
  return caption;
}

std::vector<DriveInfo> EnumerateDrives(const DriveQueries& queries) {
  std::vector<DriveInfo> drives;
  if (!queries.logicalDriveMask || !queries.driveType) {
    return drives;
  }
  const std::uint32_t mask = queries.logicalDriveMask();
  for (int letter = 0; letter < 26; ++letter) {
    if ((mask & (std::uint32_t{1} << letter)) == 0) {
      continue;
    }
    DriveInfo drive;
    drive.rootPath = std::u16string{char16_t(u'A' + letter), u':', u'\\'};
    const std::uint32_t type = queries.driveType(drive.rootPath);
    if (type != kDriveTypeRemovable && type != kDriveTypeFixed) {
      continue;
    }
    drive.kind = type == kDriveTypeRemovable ? DriveKind::Removable : DriveKind::Fixed;
    if (queries.volumeInformation) {
      std::u16string label;
      std::u16string fileSystem;
      // A card reader without a card still appears, with the fallback name.
      if (queries.volumeInformation(drive.rootPath, label, fileSystem)) {
        drive.volumeLabel = std::move(label);
        drive.fileSystemName = std::move(fileSystem);
      }
    }
    drive.displayText = DriveCaption(drive.rootPath, drive.volumeLabel, drive.kind);
    if (queries.diskSpace) {
      std::uint64_t total = 0;
      std::uint64_t free = 0;
      if (queries.diskSpace(drive.rootPath, total, free)) {
        drive.totalBytes = total;
        drive.freeBytes = free;
      }
    }
    drives.push_back(std::move(drive));
  }
  return drives;
}

}  // namespace ombrix::app
