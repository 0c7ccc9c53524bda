#include "core/mft/mft_tree.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

#include "base/fresh_pages.h"
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

bool IsSkippedName(std::u16string_view name) {
  // The volume root's own record is named "." and lists itself as parent.
  return name.empty() || name == u"." || name == u"..";
}

bool NamesMatchIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldNameUnit(a[i]) != FoldNameUnit(b[i])) return false;
  }
  return true;
}

}  // namespace

char16_t FoldNameUnit(char16_t c) {
  if (c < 0x80) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  }
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) ||
      (c >= 0x430 && c <= 0x44F)) {
    return static_cast<char16_t>(c - 0x20);
  }
  if (c == 0xFF) return 0x178;
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
      c != 0x178 && c != 0x17F) {
    // Latin Extended-A pairs: even upper/odd lower up to U+0137, odd
    // upper/even lower from U+0139 to U+0148 and from U+0179 on, even/odd again
    // from U+014A to U+0177.
    const bool oddLower = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
    if (oddLower) return (c & 1) ? static_cast<char16_t>(c - 1) : c;
    return (c & 1) ? c : static_cast<char16_t>(c - 1);
  }
  if (c >= 0x450 && c <= 0x45F) {
    return static_cast<char16_t>(c - 0x50);
  }
  return c;
}

MftChildrenMap::MftChildrenMap(const std::vector<MftNameEntry>& entries) {
  // Positions are kept in 32 bits: four billion entries would need hundreds
  // of gigabytes before this point.
  if (entries.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw std::bad_alloc();
  }
  // The names of one folder mostly sit in consecutive records, so the last
  // parent seen answers most lookups without the hash map.
  std::uint64_t lastParent = 0;
  std::uint32_t lastGroup = 0;
  bool haveLast = false;
  std::vector<std::uint32_t> counts;
  for (const MftNameEntry& entry : entries) {
    if (!haveLast || entry.parentReference != lastParent) {
      const auto [found, added] =
          groupOf_.try_emplace(entry.parentReference, static_cast<std::uint32_t>(counts.size()));
      if (added) counts.push_back(0);
      lastParent = entry.parentReference;
      lastGroup = found->second;
      haveLast = true;
    }
    ++counts[lastGroup];
  }

  groupStart_.resize(counts.size() + 1);
  std::uint32_t slot = 0;
  for (std::size_t group = 0; group < counts.size(); ++group) {
    groupStart_[group] = slot;
    slot += counts[group];
  }
  groupStart_[counts.size()] = slot;

  // counts becomes each group's next free slot.
  std::copy(groupStart_.begin(), groupStart_.end() - 1, counts.begin());
  positions_.resize(entries.size());
  haveLast = false;
  for (std::uint32_t i = 0; i < entries.size(); ++i) {
    const std::uint64_t parent = entries[i].parentReference;
    if (!haveLast || parent != lastParent) {
      lastGroup = groupOf_.find(parent)->second;
      lastParent = parent;
      haveLast = true;
    }
    positions_[counts[lastGroup]++] = i;
  }
}

std::span<const std::uint32_t> MftChildrenMap::ChildrenOf(std::uint64_t parentReference) const {
  const auto found = groupOf_.find(parentReference);
  if (found == groupOf_.end()) return {};
  const std::uint32_t group = found->second;
  return std::span<const std::uint32_t>(positions_)
      .subspan(groupStart_[group], groupStart_[group + 1] - groupStart_[group]);
}

MftChildrenMap BuildChildrenMap(const std::vector<MftNameEntry>& entries) {
  return MftChildrenMap(entries);
}

namespace {

// A folder whose entries were listed: its children are the nodes
// [firstChild, firstChild + childCount).
struct PlannedFolder {
  std::uint64_t node;
  std::uint64_t firstChild;
  std::uint64_t childCount;
  std::u16string path;
};

// The tree's shape before any node exists: the entry of every new node in
// node order, and the listed folders in the order of their children. Every
// folder's children are consecutive nodes, so the ranges follow each other.
struct TreePlan {
  std::vector<std::uint32_t> nodeEntries;
  std::vector<PlannedFolder> folders;
};

// Walks the entries below the root and decides the index of every node the
// tree will get, without making one: the nodes are then made and filled on
// several threads. Walked folders get their paths here: the walk needs them
// for progress and for their own sub-folders.
TreePlan PlanTree(std::uint64_t firstNewNode, std::uint64_t rootIndex,
                  const std::u16string& rootPath, std::uint64_t rootReference,
                  const MftNameTable& table, const MftChildrenMap& children,
                  const ScanCancellationToken& token, EngineProgress& progress) {
  const std::vector<MftNameEntry>& entries = table.entries;
  TreePlan plan;
  plan.nodeEntries.reserve(entries.size());
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
      const std::u16string_view name = table.NameOf(entry);
      if (IsSkippedName(name)) {
        continue;
      }
      plan.nodeEntries.push_back(position);
      const std::uint64_t node = nextNode++;
      if (entry.isDirectory) {
        if ((entry.attributes & kAttributeReparsePoint) != 0) {
          continue;  // junctions, symbolic links and mount points are shown, not followed
        }
        if (!descended[position]) {
          descended[position] = true;
          stack.push_back({entry.fileReference, node, JoinPath(frame.path, name)});
        }
      } else if (progress.CountFileWithPath([&] { return JoinPath(frame.path, name); })) {
        progress.ReportCurrent();
      }
    }
    plan.folders.push_back(
        {frame.nodeIndex, firstChild, nextNode - firstChild, std::move(frame.path)});
  }
  return plan;
}

// Makes the planned nodes with their fields and names, each name once at
// its final size.
void MakePlannedNodes(ScanTreeBuilder& builder, const TreePlan& plan, const MftNameTable& table,
                      std::uint64_t workerLimit) {
  std::vector<ScanNode>& nodes = builder.nodes;
  const std::uint64_t count = plan.nodeEntries.size();
  if (count == 0) {
    return;
  }
  if (nodes.capacity() >= nodes.size() + count) {
    base::FaultInPages(nodes.data() + nodes.size(), count * sizeof(ScanNode), workerLimit);
  }
  const std::uint64_t first = builder.AppendBlankNodes(count);
  const std::vector<PlannedFolder>& folders = plan.folders;
  base::RunInSlices(count, workerLimit, [&](std::uint64_t begin, std::uint64_t end) {
    // The last folder whose children start at or before the slice's first
    // node holds it: folders listed without children share their start with
    // the next one.
    auto folder = std::upper_bound(folders.begin(), folders.end(), first + begin,
                                   [](std::uint64_t index, const PlannedFolder& candidate) {
                                     return index < candidate.firstChild;
                                   }) -
                  1;
    for (std::uint64_t i = begin; i < end; ++i) {
      const std::uint64_t id = first + i;
      while (id >= folder->firstChild + folder->childCount) ++folder;
      const MftNameEntry& entry = table.entries[plan.nodeEntries[i]];
      ScanNode& node = nodes[id];
      if (entry.isDirectory) {
        ScanTreeBuilder::SetFolderFields(node, id, folder->node, entry.attributes, 0);
      } else {
        ScanTreeBuilder::SetFileFields(node, id, folder->node, entry.attributes, entry.size, 0);
      }
      node.name = std::u16string(table.NameOf(entry));
    }
  });
}

// Links each listed folder to its children and gives it the path the walk
// made.
void LinkPlannedFolders(std::vector<ScanNode>& nodes, TreePlan& plan, std::uint64_t workerLimit) {
  std::vector<PlannedFolder>& folders = plan.folders;
  base::RunInSlices(folders.size(), workerLimit, [&](std::uint64_t begin, std::uint64_t end) {
    for (std::uint64_t f = begin; f < end; ++f) {
      PlannedFolder& folder = folders[f];
      ScanNode& node = nodes[folder.node];
      node.children.reserve(node.children.size() + folder.childCount);
      for (std::uint64_t c = 0; c < folder.childCount; ++c) {
        node.children.push_back(folder.firstChild + c);
      }
      node.path = std::move(folder.path);
    }
  });
}

// Only walked folders have children, and they got their paths during the
// walk: this pass reads the paths of parents and writes only nodes that
// have none, so its slices are independent.
void FillMissingPaths(std::vector<ScanNode>& nodes, std::uint64_t first,
                      std::uint64_t workerLimit) {
  base::RunInSlices(nodes.size() - first, workerLimit, [&](std::uint64_t begin, std::uint64_t end) {
    for (std::uint64_t i = first + begin; i < first + end; ++i) {
      ScanNode& node = nodes[i];
      if (node.path.empty() && node.parent < i) {
        node.path = JoinPath(nodes[node.parent].path, node.name);
      }
    }
  });
}

}  // namespace

void PopulateMftTree(ScanTreeBuilder& builder, std::uint64_t rootIndex,
                     const std::u16string& rootPath, std::uint64_t rootReference,
                     MftNameTable&& table, MftChildrenMap&& children,
                     const ScanCancellationToken& token, EngineProgress& progress,
                     std::uint64_t workerLimit) {
  const std::uint64_t firstNewNode = builder.nodes.size();
  {
    const MftNameTable ownTable = std::move(table);
    TreePlan plan;
    {
      const MftChildrenMap ownChildren = std::move(children);
      plan = PlanTree(firstNewNode, rootIndex, rootPath, rootReference, ownTable, ownChildren,
                      token, progress);
    }
    MakePlannedNodes(builder, plan, ownTable, workerLimit);
    LinkPlannedFolders(builder.nodes, plan, workerLimit);
  }
  FillMissingPaths(builder.nodes, firstNewNode, workerLimit);
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
      const std::u16string_view entryName = table.NameOf(entry);
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
