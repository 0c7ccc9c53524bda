#include "core/mft/mft_entry_mend.h"

#include <algorithm>
#include <cstdint>

#include "core/scan_model.h"

namespace ombrix::core {

namespace {

bool NeedsSize(const MftNameEntry& entry) { return !entry.isDirectory && !entry.hasOwnDataSize; }

struct NeedyEntry {
  std::uint64_t fileReference;
  std::uint64_t entryIndex;
  bool mended;
};

}  // namespace

void ApplyFolderFlagMend(std::vector<MftNameEntry>& entries) {
  for (MftNameEntry& entry : entries) {
    if (!entry.isDirectory && (entry.attributes & kFileNameIndexPresent) != 0) {
      entry.isDirectory = true;
      entry.attributes |= kAttributeDirectory;
      entry.size = 0;
    }
  }
}

void ApplyDataSizeMend(std::vector<MftNameEntry>& entries,
                       const std::vector<MftDataSize>& dataSizes) {
  const auto needyCount = std::count_if(entries.begin(), entries.end(), NeedsSize);
  if (needyCount == 0 || dataSizes.empty()) {
    return;
  }
  std::vector<NeedyEntry> needy;
  needy.reserve(static_cast<std::size_t>(needyCount));
  for (std::uint64_t i = 0; i < entries.size(); ++i) {
    if (NeedsSize(entries[i])) {
      needy.push_back({entries[i].fileReference, i, false});
    }
  }
  std::sort(needy.begin(), needy.end(), [](const NeedyEntry& a, const NeedyEntry& b) {
    return a.fileReference < b.fileReference;
  });

  for (const MftDataSize& reported : dataSizes) {
    auto it = std::lower_bound(
        needy.begin(), needy.end(), reported.fileReference,
        [](const NeedyEntry& e, std::uint64_t reference) { return e.fileReference < reference; });
    for (; it != needy.end() && it->fileReference == reported.fileReference; ++it) {
      if (!it->mended) {
        entries[it->entryIndex].size = reported.size;
        it->mended = true;
      }
    }
  }
}

}  // namespace ombrix::core
