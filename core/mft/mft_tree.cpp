#include "core/mft/mft_tree.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

#include "base/name_case.h"
#include "base/parallel_slices.h"
#include "core/scan_paths.h"

namespace ombrix::core {

namespace {

constexpr std::size_t kInitialWalkDepth = 1024;

struct PendingDirectory {
  std::uint64_t fileReference;
  std::uint64_t nodeIndex;
  std::u16string path;
};

bool IsSkippedName(const NodeName& name) {
  // The volume root's own record is named "." and lists itself as parent.
  return name.empty() || name == u"." || name == u"..";
}

bool NamesMatchIgnoringCase(const NodeName& a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (base::FoldNameUnit(a[i]) != base::FoldNameUnit(b[i])) return false;
  }
  return true;
}

}  // namespace

MftChildrenMap::MftChildrenMap(const std::vector<MftNameEntry>& entries,
                               std::uint64_t recordLimit) {
  // Positions and starts are kept in 32 bits: four billion entries would
  // need hundreds of gigabytes before this point, and NTFS numbers fewer
  // records than that.
  if (entries.size() >= std::numeric_limits<std::uint32_t>::max() ||
      recordLimit >= std::numeric_limits<std::uint32_t>::max()) {
    throw std::bad_alloc();
  }
  // Counted per parent, then turned into each parent's first position; the
  // fill moves every start to the next parent's, and one shift puts them
  // back.
  start_.assign(recordLimit + 1, 0);
  std::uint64_t placed = 0;
  for (const MftNameEntry& entry : entries) {
    if (entry.parentReference >= recordLimit) continue;
    if (start_[entry.parentReference]++ == 0) ++parentCount_;
    ++placed;
  }
  std::uint32_t next = 0;
  for (std::uint32_t& start : start_) {
    const std::uint32_t count = start;
    start = next;
    next += count;
  }
  positions_.resize(placed);
  for (std::uint32_t i = 0; i < entries.size(); ++i) {
    const std::uint64_t parent = entries[i].parentReference;
    if (parent < recordLimit) positions_[start_[parent]++] = i;
  }
  for (std::uint64_t record = recordLimit; record > 0; --record) {
    start_[record] = start_[record - 1];
  }
  start_[0] = 0;
}

std::span<const std::uint32_t> MftChildrenMap::ChildrenOf(std::uint64_t parentReference) const {
  if (start_.empty() || parentReference >= start_.size() - 1) return {};
  return std::span<const std::uint32_t>(positions_)
      .subspan(start_[parentReference], start_[parentReference + 1] - start_[parentReference]);
}

MftChildrenMap BuildChildrenMap(const std::vector<MftNameEntry>& entries,
                                std::uint64_t recordLimit) {
  return MftChildrenMap(entries, recordLimit);
}

namespace {

// A folder whose entries were listed: its children are the nodes
// [firstChild, firstChild + childCount).
struct PlannedFolder {
  std::uint64_t node;
  std::uint64_t firstChild;
  std::uint64_t childCount;
};

// The tree's shape before any node exists: the entry of every new node in
// node order, which of them are folders, and the listed folders in the
// order of their children. Every folder's children are consecutive nodes,
// so the ranges follow each other.
// A planned file whose record has more names than this one: the names of
// one file, counted once on disk.
struct LinkedFile {
  std::uint64_t node;
  MftRecordNumber record;
  std::uint32_t names;
};

struct TreePlan {
  std::vector<std::uint32_t> nodeEntries;
  std::vector<std::uint8_t> isFolder;
  std::uint64_t folderCount = 0;
  std::vector<PlannedFolder> folders;
  std::vector<LinkedFile> linkedFiles;
};

// How many names each file has (each record's non-DOS $FILE_NAMEs, its
// extension records' included), for the records of the stream; saturated,
// as NTFS allows 1024 at most.
std::vector<std::uint16_t> CountNamesPerFile(const std::vector<MftNameEntry>& entries,
                                             std::uint64_t recordLimit) {
  std::vector<std::uint16_t> names(recordLimit, 0);
  for (const MftNameEntry& entry : entries) {
    if (!entry.isDirectory && entry.fileReference < recordLimit &&
        names[entry.fileReference] != UINT16_MAX) {
      ++names[entry.fileReference];
    }
  }
  return names;
}

// Walks the entries below the root and decides the index of every node the
// tree will get, without making one: the nodes are then filled on several
// threads. Walked folders carry their paths on the stack only, for the
// progress reports; the result makes paths from the names when asked.
TreePlan PlanTree(std::uint64_t firstNewNode, std::uint64_t rootIndex,
                  const std::u16string& rootPath, std::uint64_t rootReference,
                  const MftNameTable& table, const MftChildrenMap& children,
                  const std::vector<std::uint16_t>& namesPerFile,
                  const ScanCancellationToken& token, EngineProgress& progress) {
  const std::vector<MftNameEntry>& entries = table.entries;
  TreePlan plan;
  plan.nodeEntries.reserve(entries.size());
  plan.isFolder.reserve(entries.size());
  plan.folders.reserve(children.ParentCount());
  std::vector<bool> descended(entries.size(), false);
  std::vector<PendingDirectory> stack;
  stack.reserve(kInitialWalkDepth);
  stack.push_back({rootReference, rootIndex, rootPath});
  std::uint64_t nextNode = firstNewNode;

  while (!stack.empty()) {
    if (token.IsCancelled()) {
      break;
    }
    PendingDirectory frame = std::move(stack.back());
    stack.pop_back();
    progress.CountFolder(frame.path);
    progress.ReportCurrent();

    const std::uint64_t firstChild = nextNode;
    for (const std::uint32_t position : children.ChildrenOf(frame.fileReference)) {
      const MftNameEntry& entry = entries[position];
      const NodeName name = table.NameOf(entry);
      if (IsSkippedName(name)) {
        continue;
      }
      plan.nodeEntries.push_back(position);
      plan.isFolder.push_back(entry.isDirectory);
      const std::uint64_t node = nextNode++;
      if (entry.isDirectory) {
        ++plan.folderCount;
        if ((entry.attributes & kAttributeReparsePoint) != 0) {
          continue;  // junctions, symbolic links and mount points are shown, not followed
        }
        if (!descended[position]) {
          descended[position] = true;
          stack.push_back({entry.fileReference, node, JoinPath(frame.path, name)});
        }
      } else {
        if (entry.fileReference < namesPerFile.size() && namesPerFile[entry.fileReference] > 1) {
          plan.linkedFiles.push_back({node, entry.fileReference, namesPerFile[entry.fileReference]});
        }
        if (progress.CountFileWithPath([&] { return JoinPath(frame.path, name); },
                                       entry.allocated)) {
          progress.ReportCurrent();
        }
      }
    }
    plan.folders.push_back({frame.nodeIndex, firstChild, nextNode - firstChild});
  }
  return plan;
}

// Fills the planned nodes of one slice, [begin, end) of the plan, whose
// first folder takes folderSlot.
void FillPlannedSlice(ScanNodes& nodes, const TreePlan& plan, const MftNameTable& table,
                      std::uint64_t firstNode, std::uint64_t nameShift, std::uint64_t begin,
                      std::uint64_t end, std::uint64_t folderSlot) {
  const std::vector<PlannedFolder>& folders = plan.folders;
  // The last folder whose children start at or before the slice's first
  // node holds it: folders listed without children share their start with
  // the next one.
  auto folder = std::upper_bound(folders.begin(), folders.end(), firstNode + begin,
                                 [](std::uint64_t index, const PlannedFolder& candidate) {
                                   return index < candidate.firstChild;
                                 }) -
                1;
  for (std::uint64_t i = begin; i < end; ++i) {
    const std::uint64_t id = firstNode + i;
    while (id >= folder->firstChild + folder->childCount) ++folder;
    const MftNameEntry& entry = table.entries[plan.nodeEntries[i]];
    if (entry.isDirectory) {
      nodes.SetFolder(id, folderSlot++, folder->node, entry.nameOffset + nameShift,
                      entry.attributes, entry.lastWriteTime);
    } else {
      nodes.SetFile(id, folder->node, entry.nameOffset + nameShift, entry.attributes, entry.size,
                    entry.lastWriteTime, entry.allocated);
      if (entry.isPlaceholder) nodes.MarkPlaceholder(id);
    }
  }
}

// Makes the planned nodes with their fields on up to workerLimit threads.
// The names are not copied: the table's arena becomes the result's.
void MakePlannedNodes(ScanNodes& nodes, const TreePlan& plan, MftNameTable& table,
                      std::uint64_t workerLimit) {
  const std::uint64_t count = plan.nodeEntries.size();
  const std::uint64_t nameShift = nodes.AdoptNames(std::move(table.names));
  if (count == 0) {
    return;
  }
  // Plain names rather than a structured binding: the slices' lambda uses them.
  const auto firstBlank = nodes.AppendBlank(count, plan.folderCount);
  const std::uint64_t firstNode = firstBlank.first;
  const std::uint64_t firstSlot = firstBlank.second;
  // Folder slots follow node order, so each slice starts at the slot its
  // first folder takes: counted here, from the plan, before the slices run.
  const std::uint64_t sliceCount = std::clamp<std::uint64_t>(workerLimit, 1, count);
  std::vector<std::uint64_t> sliceStart(sliceCount + 1);
  std::vector<std::uint64_t> slotStart(sliceCount);
  std::uint64_t slot = firstSlot;
  for (std::uint64_t s = 0; s < sliceCount; ++s) {
    sliceStart[s] = s * count / sliceCount;
    sliceStart[s + 1] = (s + 1) * count / sliceCount;
    slotStart[s] = slot;
    for (std::uint64_t i = sliceStart[s]; i < sliceStart[s + 1]; ++i) slot += plan.isFolder[i];
  }
  base::RunInSlices(sliceCount, sliceCount, [&](std::uint64_t begin, std::uint64_t end) {
    for (std::uint64_t s = begin; s < end; ++s) {
      FillPlannedSlice(nodes, plan, table, firstNode, nameShift, sliceStart[s], sliceStart[s + 1],
                       slotStart[s]);
    }
  });
}

}  // namespace

void PopulateMftTree(ScanTreeBuilder& builder, std::uint64_t rootIndex,
                     const std::u16string& rootPath, std::uint64_t rootReference,
                     MftNameTable&& table, MftChildrenMap&& children,
                     const ScanCancellationToken& token, EngineProgress& progress,
                     std::uint64_t workerLimit) {
  MftNameTable ownTable = std::move(table);
  TreePlan plan;
  {
    const MftChildrenMap ownChildren = std::move(children);
    const std::vector<std::uint16_t> namesPerFile =
        CountNamesPerFile(ownTable.entries, ownChildren.RecordLimit());
    plan = PlanTree(builder.nodes.size(), rootIndex, rootPath, rootReference, ownTable,
                    ownChildren, namesPerFile, token, progress);
  }
  MakePlannedNodes(builder.nodes, plan, ownTable, workerLimit);
  for (const LinkedFile& linked : plan.linkedFiles) {
    builder.SetFileIdentity(linked.node, linked.record, linked.names);
  }
}

std::optional<std::uint64_t> FindFolderByNames(const std::vector<std::u16string>& names,
                                               std::uint64_t startReference,
                                               const MftNameTable& table,
                                               const MftChildrenMap& children) {
  std::uint64_t current = startReference;
  for (const std::u16string& name : names) {
    std::optional<std::uint64_t> exact;
    std::optional<std::uint64_t> folded;
    for (const std::uint32_t position : children.ChildrenOf(current)) {
      const MftNameEntry& entry = table.entries[position];
      const NodeName entryName = table.NameOf(entry);
      if (!entry.isDirectory || (entry.attributes & kAttributeReparsePoint) != 0 ||
          IsSkippedName(entryName)) {
        continue;
      }
      if (entryName == name) {
        exact = entry.fileReference;
        break;
      }
      if (!folded && NamesMatchIgnoringCase(entryName, name)) {
        folded = entry.fileReference;
      }
    }
    if (!exact && !folded) {
      return std::nullopt;
    }
    current = exact ? *exact : *folded;
  }
  return current;
}

}  // namespace ombrix::core
