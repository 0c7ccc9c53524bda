// The drive/folder selector as data: "All local drives", the chosen folder
// when there is one, then one item per drive; which item a fresh fill
// selects; what the Scan command scans for an item; and which item to
// select again after the drives were listed anew.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/drive_list.h"

namespace ombrix::ui {

struct SelectorTexts {
  std::u16string allLocalDrives;
  std::u16string folderPrefix;
};

// Captions in selector order.
std::vector<std::u16string> SelectorItems(const SelectorTexts& texts,
                                          const std::u16string& selectedFolder,
                                          const std::vector<app::DriveInfo>& drives);

// The first drive when there is one, else "All local drives".
int DefaultSelectorIndex(const std::u16string& selectedFolder,
                         const std::vector<app::DriveInfo>& drives);

// What Scan starts for a selector item: several paths under a label (all
// local drives), or one path scanned by itself (empty label).
struct ScanChoice {
  std::vector<std::u16string> paths;
  std::u16string label;
  // The used space of the drives scanned, as the drive list last asked
  // it; none for a folder.
  std::optional<std::uint64_t> usedSpace;
};
std::optional<ScanChoice> ScanChoiceFor(int index, const std::u16string& selectedFolder,
                                        const std::vector<app::DriveInfo>& drives);

// The item to select after the drive list changed under a selection:
// the same drive at its new place, the folder item, or "All local drives";
// a vanished drive (or no selection) keeps the refill's default.
struct SelectorMemory {
  int index = -1;
  std::u16string driveRoot;  // when the item named a drive
};
SelectorMemory RememberSelection(int index, const std::u16string& selectedFolder,
                                 const std::vector<app::DriveInfo>& drives);
int ReselectedIndex(const SelectorMemory& before, const std::u16string& selectedFolder,
                    const std::vector<app::DriveInfo>& drives);

}  // namespace ombrix::ui
