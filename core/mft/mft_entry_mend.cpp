#include "core/mft/mft_entry_mend.h"

#include <algorithm>
#include <cstdint>

#include "base/checked_math.h"
#include "core/scan_model.h"

namespace ombrix::core {

namespace {

bool NeedsSize(const MftNameEntry& entry) { return !entry.isDirectory && !entry.hasOwnDataSize; }

struct NeedyEntry {
  MftRecordNumber fileReference;
  std::uint64_t entryIndex;
  bool mended;
};

// The allocation records of one file report, summed per file: the base
// records' and the extension records' apart, both sorted by file.
struct FileAllocation {
  MftRecordNumber fileReference;
  std::uint64_t allocated;
};

std::vector<FileAllocation> SumPerFile(const std::vector<MftRecordData>& facts, bool extensions) {
  std::vector<FileAllocation> sums;
  for (const MftRecordData& fact : facts) {
    if (fact.isExtension == extensions && fact.allocated != 0) {
      sums.push_back({fact.fileReference, fact.allocated});
    }
  }
  std::sort(sums.begin(), sums.end(), [](const FileAllocation& a, const FileAllocation& b) {
    return a.fileReference < b.fileReference;
  });
  std::size_t kept = 0;
  for (std::size_t i = 0; i < sums.size(); ++i) {
    if (kept > 0 && sums[kept - 1].fileReference == sums[i].fileReference) {
      sums[kept - 1].allocated = base::SaturatingAdd(sums[kept - 1].allocated, sums[i].allocated);
    } else {
      sums[kept++] = sums[i];
    }
  }
  sums.resize(kept);
  return sums;
}

std::uint64_t AllocationOf(const std::vector<FileAllocation>& sums, MftRecordNumber file) {
  const auto found = std::lower_bound(
      sums.begin(), sums.end(), file,
      [](const FileAllocation& sum, MftRecordNumber wanted) { return sum.fileReference < wanted; });
  return found != sums.end() && found->fileReference == file ? found->allocated : 0;
}

}  // namespace

void ApplyFolderFlagMend(std::vector<MftNameEntry>& entries) {
  for (MftNameEntry& entry : entries) {
    if (!entry.isDirectory && (entry.attributes & kFileNameIndexPresent) != 0) {
      entry.isDirectory = true;
      entry.attributes |= kAttributeDirectory;
      entry.size = 0;
      entry.allocated = 0;
      entry.isPlaceholder = false;
    }
  }
}

void ApplyDataSizeMend(std::vector<MftNameEntry>& entries,
                       const std::vector<MftRecordData>& dataSizes) {
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

  for (const MftRecordData& reported : dataSizes) {
    if (!reported.hasSize) continue;
    auto it = std::lower_bound(
        needy.begin(), needy.end(), reported.fileReference,
        [](const NeedyEntry& e, MftRecordNumber reference) { return e.fileReference < reference; });
    for (; it != needy.end() && it->fileReference == reported.fileReference; ++it) {
      if (!it->mended) {
        entries[it->entryIndex].size = reported.size;
        it->mended = true;
      }
    }
  }
}

void ApplyAllocationMend(std::vector<MftNameEntry>& entries,
                         const std::vector<MftRecordData>& dataSizes) {
  const std::vector<FileAllocation> extensions = SumPerFile(dataSizes, true);
  const bool namesMoved = std::any_of(entries.begin(), entries.end(), [](const MftNameEntry& e) {
    return e.inExtensionRecord && !e.isDirectory;
  });
  if (extensions.empty() && !namesMoved) return;
  const std::vector<FileAllocation> bases = namesMoved ? SumPerFile(dataSizes, false)
                                                       : std::vector<FileAllocation>();
  for (MftNameEntry& entry : entries) {
    if (entry.isDirectory) continue;
    const std::uint64_t elsewhere = AllocationOf(extensions, entry.fileReference);
    // A name in a base record holds that record's streams already; one in
    // an extension record holds its own record's, which the extensions'
    // sum counts, so it takes the base record's and the extensions'.
    entry.allocated = entry.inExtensionRecord
                          ? base::SaturatingAdd(AllocationOf(bases, entry.fileReference), elsewhere)
                          : base::SaturatingAdd(entry.allocated, elsewhere);
  }
}

}  // namespace ombrix::core
