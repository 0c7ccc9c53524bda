#include "ui/window/selector_model.h"

#include <algorithm>

#include "app/ranking/folder_ranking_model.h"

namespace ombrix::ui {
namespace {

constexpr int kAllDrivesIndex = 0;
constexpr int kFolderIndex = 1;

int FirstDriveIndex(const std::u16string& selectedFolder) {
  return selectedFolder.empty() ? 1 : 2;
}

}  // namespace

std::vector<std::u16string> SelectorItems(const SelectorTexts& texts,
                                          const std::u16string& selectedFolder,
                                          const std::vector<app::DriveInfo>& drives) {
  std::vector<std::u16string> items{texts.allLocalDrives};
  if (!selectedFolder.empty()) items.push_back(texts.folderPrefix + selectedFolder);
  for (const app::DriveInfo& drive : drives) items.push_back(drive.displayText);
  return items;
}

int DefaultSelectorIndex(const std::u16string& selectedFolder,
                         const std::vector<app::DriveInfo>& drives) {
  return drives.empty() ? kAllDrivesIndex : FirstDriveIndex(selectedFolder);
}

namespace {

std::uint64_t UsedSpaceOf(const app::DriveInfo& drive) {
  return drive.totalBytes - std::min(drive.freeBytes, drive.totalBytes);
}

}  // namespace

std::optional<ScanChoice> ScanChoiceFor(int index, const std::u16string& selectedFolder,
                                        const std::vector<app::DriveInfo>& drives) {
  if (index < 0) return std::nullopt;
  if (index == kAllDrivesIndex) {
    ScanChoice choice;
    choice.usedSpace = 0;
    for (const app::DriveInfo& drive : drives) {
      choice.paths.push_back(drive.rootPath);
      *choice.usedSpace += UsedSpaceOf(drive);
    }
    // A fixed label, never translated: the ranking recognises the
    // all-drives root by it.
    choice.label = app::kAllDrivesLabel;
    return choice;
  }
  if (index == kFolderIndex && !selectedFolder.empty()) {
    return ScanChoice{{selectedFolder}, {}, std::nullopt};
  }
  const std::size_t drive = static_cast<std::size_t>(index - FirstDriveIndex(selectedFolder));
  if (drive >= drives.size()) return std::nullopt;
  return ScanChoice{{drives[drive].rootPath}, {}, UsedSpaceOf(drives[drive])};
}

SelectorMemory RememberSelection(int index, const std::u16string& selectedFolder,
                                 const std::vector<app::DriveInfo>& drives) {
  SelectorMemory memory{index, {}};
  const int drive = index - FirstDriveIndex(selectedFolder);
  if (index > kAllDrivesIndex && drive >= 0 && static_cast<std::size_t>(drive) < drives.size()) {
    memory.driveRoot = drives[static_cast<std::size_t>(drive)].rootPath;
  }
  return memory;
}

int ReselectedIndex(const SelectorMemory& before, const std::u16string& selectedFolder,
                    const std::vector<app::DriveInfo>& drives) {
  if (!before.driveRoot.empty()) {
    for (std::size_t i = 0; i < drives.size(); ++i) {
      if (drives[i].rootPath == before.driveRoot) {
        return FirstDriveIndex(selectedFolder) + static_cast<int>(i);
      }
    }
  } else if (before.index == kAllDrivesIndex) {
    return kAllDrivesIndex;
  } else if (before.index == kFolderIndex && !selectedFolder.empty()) {
    return kFolderIndex;
  }
  return DefaultSelectorIndex(selectedFolder, drives);
}

}  // namespace ombrix::ui
