#include "core/scan_nodes.h"

#include <algorithm>
#include <stdexcept>

#include "base/checked_math.h"
#include "core/scan_paths.h"

namespace ombrix::core {

namespace {

template <typename Vector>
std::uint64_t BytesOf(const Vector& values) {
  return values.size() * sizeof(typename Vector::value_type);
}

}  // namespace

ScanNodes::ScanNodes(ScanNodes&& other) noexcept { *this = std::move(other); }

// Spelled out so that a moved-from store is empty and says so, whatever the
// standard library leaves in moved-from vectors.
ScanNodes& ScanNodes::operator=(ScanNodes&& other) noexcept {
  if (this == &other) return *this;
  parents_ = std::exchange(other.parents_, {});
  sizes_ = std::exchange(other.sizes_, {});
  sizesOnDisk_ = std::exchange(other.sizesOnDisk_, {});
  lastWriteTimes_ = std::exchange(other.lastWriteTimes_, {});
  nameOffsets_ = std::exchange(other.nameOffsets_, {});
  attributes_ = std::exchange(other.attributes_, {});
  slots_ = std::exchange(other.slots_, {});
  flags_ = std::exchange(other.flags_, {});
  folderOwnSizes_ = std::exchange(other.folderOwnSizes_, {});
  folderOwnSizesOnDisk_ = std::exchange(other.folderOwnSizesOnDisk_, {});
  directFilesSizes_ = std::exchange(other.directFilesSizes_, {});
  fileCounts_ = std::exchange(other.fileCounts_, {});
  folderCounts_ = std::exchange(other.folderCounts_, {});
  childStarts_ = std::exchange(other.childStarts_, {});
  children_ = std::exchange(other.children_, {});
  linkCounts_ = std::exchange(other.linkCounts_, {});
  names_ = std::exchange(other.names_, {});
  childrenLinked_ = std::exchange(other.childrenLinked_, false);
  rootPaths_ = std::exchange(other.rootPaths_, {});
  return *this;
}

std::span<const std::uint32_t> ScanNodes::Children(std::uint64_t i) const {
  if (!IsDirectory(i)) return {};
  const std::uint32_t slot = slots_[i];
  if (std::uint64_t{slot} + 1 >= childStarts_.size()) return {};
  return std::span<const std::uint32_t>(children_.data() + childStarts_[slot],
                                        childStarts_[slot + 1] - childStarts_[slot]);
}

const std::u16string* ScanNodes::RootPath(std::uint64_t i) const {
  if ((flags_[i] & kRootFlag) == 0) return nullptr;
  const auto found = std::lower_bound(
      rootPaths_.begin(), rootPaths_.end(), i,
      [](const std::pair<std::uint32_t, std::u16string>& root, std::uint64_t index) {
        return root.first < index;
      });
  return found != rootPaths_.end() && found->first == i ? &found->second : nullptr;
}

void ScanNodes::AppendPath(std::uint64_t i, std::u16string& out) const {
  // The names from the node up to its root, then joined top down.
  std::vector<std::uint64_t> chain;
  std::uint64_t node = i;
  while (true) {
    if (const std::u16string* rootPath = RootPath(node)) {
      out.append(*rootPath);
      break;
    }
    chain.push_back(node);
    const std::uint64_t parent = Parent(node);
    if (parent == kNoNode) break;
    node = parent;
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) AppendToPath(out, Name(*it));
}

std::u16string ScanNodes::Path(std::uint64_t i) const {
  std::u16string path;
  AppendPath(i, path);
  return path;
}

const std::u16string& PathMaker::PathOf(std::uint64_t i) {
  path_.clear();
  const std::uint64_t parent = nodes_.Parent(i);
  if (nodes_.RootPath(i) != nullptr || parent == kNoNode) {
    nodes_.AppendPath(i, path_);
    return path_;
  }
  if (parent != cachedParent_) {
    parentPath_.clear();
    nodes_.AppendPath(parent, parentPath_);
    cachedParent_ = parent;
  }
  path_ = parentPath_;
  AppendToPath(path_, nodes_.Name(i));
  return path_;
}

ScanNodesMemory ScanNodes::Memory() const {
  ScanNodesMemory memory;
  memory.perNodeArrays = BytesOf(parents_) + BytesOf(sizes_) + BytesOf(sizesOnDisk_) +
                         BytesOf(lastWriteTimes_) +
                         BytesOf(nameOffsets_) + BytesOf(attributes_) + BytesOf(slots_) +
                         BytesOf(flags_);
  memory.folderArrays = BytesOf(folderOwnSizes_) + BytesOf(folderOwnSizesOnDisk_) +
                        BytesOf(directFilesSizes_) + BytesOf(fileCounts_) +
                        BytesOf(folderCounts_) + BytesOf(childStarts_) + BytesOf(linkCounts_);
  memory.childIndex = BytesOf(children_);
  memory.nameBytes = names_.UsedBytes();
  memory.nameArenaAllocated = names_.AllocatedBytes();
  for (const auto& [node, path] : rootPaths_) {
    memory.rootPaths += sizeof(node) + sizeof(path) + path.capacity() * sizeof(char16_t);
  }
  return memory;
}

void ScanNodes::CheckParent(std::uint64_t parent) const {
  if (parent >= size() || !IsDirectory(parent)) {
    throw std::out_of_range("a node's parent must be a folder added before it");
  }
}

std::uint32_t ScanNodes::AppendFolderSlot() {
  const auto slot = static_cast<std::uint32_t>(fileCounts_.size());
  folderOwnSizes_.push_back(0);
  folderOwnSizesOnDisk_.push_back(0);
  directFilesSizes_.push_back(0);
  fileCounts_.push_back(0);
  folderCounts_.push_back(0);
  return slot;
}

std::uint64_t ScanNodes::AppendNode(std::uint64_t parent, std::uint64_t nameOffset,
                                    std::uint8_t flags, std::uint32_t attributes,
                                    std::uint64_t size, std::uint64_t lastWriteTime,
                                    std::uint64_t sizeOnDisk) {
  const std::uint64_t index = this->size();
  if (index >= kMaxNodes) throw std::length_error("too many nodes for one result");
  childrenLinked_ = false;
  parents_.push_back(parent == kNoNode ? kNoParent : static_cast<std::uint32_t>(parent));
  sizes_.push_back(size);
  sizesOnDisk_.push_back(sizeOnDisk);
  lastWriteTimes_.push_back(lastWriteTime);
  nameOffsets_.push_back(nameOffset);
  attributes_.push_back(attributes);
  flags_.push_back(flags);
  slots_.push_back((flags & kDirectoryFlag) != 0 ? AppendFolderSlot() : kNoSlot);
  return index;
}

std::uint64_t ScanNodes::AddRoot(std::u16string_view name, std::u16string_view path,
                                 std::uint32_t attributes, std::uint64_t lastWriteTime) {
  const std::uint64_t index = AppendNode(kNoNode, names_.Append(name),
                                         kDirectoryFlag | kRootFlag, attributes, 0, lastWriteTime, 0);
  rootPaths_.emplace_back(static_cast<std::uint32_t>(index), std::u16string(path));
  return index;
}

std::uint64_t ScanNodes::AddFolderWithPath(std::uint64_t parent, std::u16string_view name,
                                           std::u16string_view path, std::uint32_t attributes,
                                           std::uint64_t lastWriteTime) {
  CheckParent(parent);
  const std::uint64_t index = AppendNode(parent, names_.Append(name), kDirectoryFlag | kRootFlag,
                                         attributes, 0, lastWriteTime, 0);
  rootPaths_.emplace_back(static_cast<std::uint32_t>(index), std::u16string(path));
  return index;
}

std::uint64_t ScanNodes::AddFolder(std::uint64_t parent, std::u16string_view name,
                                   std::uint32_t attributes, std::uint64_t lastWriteTime) {
  CheckParent(parent);
  return AppendNode(parent, names_.Append(name), kDirectoryFlag, attributes, 0, lastWriteTime, 0);
}

std::uint64_t ScanNodes::AddFile(std::uint64_t parent, std::u16string_view name,
                                 std::uint32_t attributes, std::uint64_t size,
                                 std::uint64_t lastWriteTime, std::uint64_t sizeOnDisk) {
  CheckParent(parent);
  return AppendNode(parent, names_.Append(name), 0, attributes, size, lastWriteTime, sizeOnDisk);
}

std::uint64_t ScanNodes::AddFolder(std::uint64_t parent, const NodeName& name,
                                   std::uint32_t attributes, std::uint64_t lastWriteTime) {
  CheckParent(parent);
  return AppendNode(parent, names_.AppendCopy(name), kDirectoryFlag, attributes, 0, lastWriteTime,
                    0);
}

std::uint64_t ScanNodes::AddFile(std::uint64_t parent, const NodeName& name,
                                 std::uint32_t attributes, std::uint64_t size,
                                 std::uint64_t lastWriteTime, std::uint64_t sizeOnDisk) {
  CheckParent(parent);
  return AppendNode(parent, names_.AppendCopy(name), 0, attributes, size, lastWriteTime,
                    sizeOnDisk);
}

void ScanNodes::SetFolderOwnSize(std::uint64_t folder, std::uint64_t size,
                                 std::uint64_t sizeOnDisk) {
  if (folder >= this->size() || !IsDirectory(folder)) return;
  folderOwnSizes_[slots_[folder]] = size;
  folderOwnSizesOnDisk_[slots_[folder]] = sizeOnDisk;
}

void ScanNodes::MarkPlaceholder(std::uint64_t file) {
  if (file < size() && !IsDirectory(file)) flags_[file] |= kPlaceholderFlag;
}

void ScanNodes::LinkNames(std::span<const std::uint64_t> files, std::uint32_t linkCount) {
  const auto group = static_cast<std::uint32_t>(linkCounts_.size());
  std::uint32_t named = 0;
  for (const std::uint64_t file : files) {
    // A node already in a group stays there: one file, one group.
    if (file >= size() || IsDirectory(file) || IsHardLinked(file)) continue;
    flags_[file] |= kHardLinkFlag;
    slots_[file] = group;
    ++named;
  }
  if (named == 0) return;
  linkCounts_.push_back(std::max(linkCount, named));
}

void ScanNodes::Reserve(std::uint64_t nodeCount) {
  parents_.reserve(nodeCount);
  sizes_.reserve(nodeCount);
  sizesOnDisk_.reserve(nodeCount);
  lastWriteTimes_.reserve(nodeCount);
  nameOffsets_.reserve(nodeCount);
  attributes_.reserve(nodeCount);
  slots_.reserve(nodeCount);
  flags_.reserve(nodeCount);
}

std::pair<std::uint64_t, std::uint64_t> ScanNodes::AppendBlank(std::uint64_t nodeCount,
                                                               std::uint64_t folderCount) {
  const std::uint64_t firstNode = size();
  const std::uint64_t firstSlot = FolderTotal();
  if (nodeCount > kMaxNodes - firstNode || folderCount > nodeCount) {
    throw std::length_error("too many nodes for one result");
  }
  const std::uint64_t total = firstNode + nodeCount;
  childrenLinked_ = false;
  parents_.resize(total);
  sizes_.resize(total);
  sizesOnDisk_.resize(total);
  lastWriteTimes_.resize(total);
  nameOffsets_.resize(total);
  attributes_.resize(total);
  slots_.resize(total);
  flags_.resize(total);
  folderOwnSizes_.resize(firstSlot + folderCount, 0);
  folderOwnSizesOnDisk_.resize(firstSlot + folderCount, 0);
  directFilesSizes_.resize(firstSlot + folderCount, 0);
  fileCounts_.resize(firstSlot + folderCount, 0);
  folderCounts_.resize(firstSlot + folderCount, 0);
  return {firstNode, firstSlot};
}

void ScanNodes::SetFolder(std::uint64_t i, std::uint64_t folderSlot, std::uint64_t parent,
                          std::uint64_t nameOffset, std::uint32_t attributes,
                          std::uint64_t lastWriteTime) {
  parents_[i] = static_cast<std::uint32_t>(parent);
  sizes_[i] = 0;
  sizesOnDisk_[i] = 0;
  lastWriteTimes_[i] = lastWriteTime;
  nameOffsets_[i] = nameOffset;
  attributes_[i] = attributes;
  slots_[i] = static_cast<std::uint32_t>(folderSlot);
  flags_[i] = kDirectoryFlag;
}

ScanNodes::BlankFields ScanNodes::FieldsOfBlank(std::uint64_t first) {
  const std::uint64_t from = std::min(first, size());
  const std::uint64_t count = size() - from;
  return {std::span(parents_.data() + from, count), std::span(attributes_.data() + from, count),
          std::span(sizes_.data() + from, count), std::span(sizesOnDisk_.data() + from, count),
          std::span(lastWriteTimes_.data() + from, count)};
}

void ScanNodes::SetOwnPath(std::uint64_t i, std::u16string_view path) {
  if (!rootPaths_.empty() && rootPaths_.back().first >= i) {
    throw std::logic_error("own paths out of node order");
  }
  flags_[i] |= kRootFlag;
  rootPaths_.emplace_back(static_cast<std::uint32_t>(i), std::u16string(path));
}

void ScanNodes::SetFile(std::uint64_t i, std::uint64_t parent, std::uint64_t nameOffset,
                        std::uint32_t attributes, std::uint64_t size, std::uint64_t lastWriteTime,
                        std::uint64_t sizeOnDisk) {
  parents_[i] = static_cast<std::uint32_t>(parent);
  sizes_[i] = size;
  sizesOnDisk_[i] = sizeOnDisk;
  lastWriteTimes_[i] = lastWriteTime;
  nameOffsets_[i] = nameOffset;
  attributes_[i] = attributes;
  slots_[i] = kNoSlot;
  flags_[i] = 0;
}

void ScanNodes::LinkChildren() {
  if (childrenLinked_) return;
  const std::uint64_t count = size();
  childStarts_.assign(FolderTotal() + 1, 0);
  std::uint64_t linked = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (parents_[i] == kNoParent) continue;
    ++childStarts_[slots_[parents_[i]] + 1];
    ++linked;
  }
  for (std::size_t slot = 1; slot < childStarts_.size(); ++slot) {
    childStarts_[slot] += childStarts_[slot - 1];
  }
  children_.resize(linked);
  std::vector<std::uint32_t> next(childStarts_.begin(), childStarts_.end() - 1);
  for (std::uint64_t i = 0; i < count; ++i) {
    if (parents_[i] == kNoParent) continue;
    children_[next[slots_[parents_[i]]]++] = static_cast<std::uint32_t>(i);
  }
  childrenLinked_ = true;
}

void ScanNodes::ComputeTotals() {
  const std::uint64_t count = size();
  for (std::uint64_t i = 0; i < count; ++i) {
    if (IsDirectory(i)) {
      sizes_[i] = folderOwnSizes_[slots_[i]];
      sizesOnDisk_[i] = folderOwnSizesOnDisk_[slots_[i]];
    }
  }
  std::fill(directFilesSizes_.begin(), directFilesSizes_.end(), 0);
  std::fill(fileCounts_.begin(), fileCounts_.end(), 0);
  std::fill(folderCounts_.begin(), folderCounts_.end(), 0);
  // Children come after their parents: walking backwards, every node is
  // complete before it is added to its parent.
  for (std::uint64_t i = count; i-- > 0;) {
    const std::uint32_t parent = parents_[i];
    if (parent == kNoParent) continue;
    const std::uint32_t parentSlot = slots_[parent];
    sizes_[parent] = base::SaturatingAdd(sizes_[parent], sizes_[i]);
    // A linked file's clusters are added below, once per folder.
    if (!IsHardLinked(i)) {
      sizesOnDisk_[parent] = base::SaturatingAdd(sizesOnDisk_[parent], sizesOnDisk_[i]);
    }
    if (IsDirectory(i)) {
      const std::uint32_t slot = slots_[i];
      fileCounts_[parentSlot] += fileCounts_[slot];
      folderCounts_[parentSlot] += folderCounts_[slot] + 1;
    } else {
      directFilesSizes_[parentSlot] = base::SaturatingAdd(directFilesSizes_[parentSlot], sizes_[i]);
      fileCounts_[parentSlot] += 1;
    }
  }
  AddLinkedFilesOnDisk();
}

void ScanNodes::AddLinkedFilesOnDisk() {
  if (linkCounts_.empty()) return;
  // The names of each group, grouped: a count per group, then the names.
  std::vector<std::uint32_t> starts(linkCounts_.size() + 1, 0);
  const std::uint64_t count = size();
  for (std::uint64_t i = 0; i < count; ++i) {
    if (IsHardLinked(i)) ++starts[slots_[i] + 1];
  }
  for (std::size_t g = 1; g < starts.size(); ++g) starts[g] += starts[g - 1];
  std::vector<std::uint32_t> members(starts.back());
  std::vector<std::uint32_t> next(starts.begin(), starts.end() - 1);
  for (std::uint64_t i = 0; i < count; ++i) {
    if (IsHardLinked(i)) members[next[slots_[i]]++] = static_cast<std::uint32_t>(i);
  }
  // Every folder above any name of a group takes the group's clusters
  // once: walking up from each name stops at the first folder this group
  // already reached, whose ancestors it reached too.
  std::vector<std::uint32_t> reachedBy(FolderTotal(), kNoSlot);
  for (std::uint32_t group = 0; group < linkCounts_.size(); ++group) {
    std::uint64_t bytes = 0;
    for (std::uint32_t m = starts[group]; m < starts[group + 1]; ++m) {
      bytes = std::max(bytes, sizesOnDisk_[members[m]]);
    }
    for (std::uint32_t m = starts[group]; m < starts[group + 1]; ++m) {
      for (std::uint32_t folder = parents_[members[m]];
           folder != kNoParent && reachedBy[slots_[folder]] != group; folder = parents_[folder]) {
        reachedBy[slots_[folder]] = group;
        sizesOnDisk_[folder] = base::SaturatingAdd(sizesOnDisk_[folder], bytes);
      }
    }
  }
}

void ScanNodes::RollUpFromChildren(std::uint64_t folder) {
  const std::uint32_t slot = slots_[folder];
  sizes_[folder] = folderOwnSizes_[slot];
  sizesOnDisk_[folder] = folderOwnSizesOnDisk_[slot];
  directFilesSizes_[slot] = 0;
  fileCounts_[slot] = 0;
  folderCounts_[slot] = 0;
  for (const std::uint32_t child : Children(folder)) {
    sizes_[folder] = base::SaturatingAdd(sizes_[folder], sizes_[child]);
    sizesOnDisk_[folder] = base::SaturatingAdd(sizesOnDisk_[folder], sizesOnDisk_[child]);
    if (IsDirectory(child)) {
      fileCounts_[slot] += fileCounts_[slots_[child]];
      folderCounts_[slot] += folderCounts_[slots_[child]] + 1;
    } else {
      directFilesSizes_[slot] = base::SaturatingAdd(directFilesSizes_[slot], sizes_[child]);
      fileCounts_[slot] += 1;
    }
  }
}

void ScanNodes::Append(ScanNodes&& part, std::uint64_t newParent) {
  CheckParent(newParent);
  const std::uint64_t offset = size();
  const std::uint64_t slotOffset = FolderTotal();
  const std::uint64_t groupOffset = LinkGroupTotal();
  if (part.size() > kMaxNodes - offset) throw std::length_error("too many nodes for one result");
  const std::uint64_t nameShift = names_.Adopt(std::move(part.names_));
  Reserve(offset + part.size());
  for (std::uint64_t j = 0; j < part.size(); ++j) {
    const std::uint32_t parent = part.parents_[j];
    parents_.push_back(static_cast<std::uint32_t>(parent == kNoParent ? newParent
                                                                      : parent + offset));
    sizes_.push_back(part.sizes_[j]);
    sizesOnDisk_.push_back(part.sizesOnDisk_[j]);
    lastWriteTimes_.push_back(part.lastWriteTimes_[j]);
    nameOffsets_.push_back(part.nameOffsets_[j] + nameShift);
    attributes_.push_back(part.attributes_[j]);
    flags_.push_back(part.flags_[j]);
    const std::uint32_t slot = part.slots_[j];
    const std::uint64_t shift = (part.flags_[j] & kDirectoryFlag) != 0 ? slotOffset : groupOffset;
    slots_.push_back(slot == kNoSlot ? kNoSlot : static_cast<std::uint32_t>(slot + shift));
  }
  folderOwnSizes_.insert(folderOwnSizes_.end(), part.folderOwnSizes_.begin(),
                         part.folderOwnSizes_.end());
  folderOwnSizesOnDisk_.insert(folderOwnSizesOnDisk_.end(), part.folderOwnSizesOnDisk_.begin(),
                               part.folderOwnSizesOnDisk_.end());
  directFilesSizes_.insert(directFilesSizes_.end(), part.directFilesSizes_.begin(),
                           part.directFilesSizes_.end());
  fileCounts_.insert(fileCounts_.end(), part.fileCounts_.begin(), part.fileCounts_.end());
  folderCounts_.insert(folderCounts_.end(), part.folderCounts_.begin(), part.folderCounts_.end());
  linkCounts_.insert(linkCounts_.end(), part.linkCounts_.begin(), part.linkCounts_.end());
  for (auto& [node, path] : part.rootPaths_) {
    rootPaths_.emplace_back(static_cast<std::uint32_t>(node + offset), std::move(path));
  }
  part = ScanNodes();
  childrenLinked_ = false;
  LinkChildren();
}

}  // namespace ombrix::core
