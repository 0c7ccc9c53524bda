// The nodes of a scan result, stored compactly: one array per field, in
// node order, with 32-bit indices, and the names in one arena. A result of
// tens of millions of nodes then lives in a few dozen large allocations
// instead of a few per node, and costs well under a hundred bytes a node
// (ScanNodes::Memory() tells where they go).
//
// Paths are not stored: a node's path is its parent's joined with its name
// (JoinPath), made on demand from the parent chain. Only a root keeps its
// full path. Children are not stored per node either: every node names its
// parent, and the children of every folder are laid out once, when the
// nodes are complete (LinkChildren), as one index array grouped by folder,
// each group in node order, the order in which they were added.
//
// Callers read a node through a ScanNode, a small view; the layout is
// private to this class and the builders that fill it.
//
// Invariant every writer keeps: a node's parent comes before it (its index
// is smaller). Totals are therefore one backward sweep, and a path always
// ends at a root.
#pragma once

#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/default_init_vector.h"
#include "core/name_arena.h"
#include "core/node_name.h"

namespace ombrix::core {

inline constexpr std::uint64_t kNoNode = ~std::uint64_t{0};

inline constexpr std::uint32_t kAttributeSystem = 0x4;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;

// The size a node is ranked, shared and drawn by: its logical bytes (every
// name of a file counts, as Explorer adds them up) or the bytes its clusters
// take (each file once). The user picks one; logical is the default.
enum class SizeBasis : std::uint8_t { Logical, OnDisk };

// Nodes a result can hold: indices are kept in 32 bits.
inline constexpr std::uint64_t kMaxNodes = 0xFFFFFFFEu;

inline constexpr std::uint32_t kNoLinkGroup = 0xFFFFFFFFu;

class ScanNodes;

// One folder or file of a result. A view: cheap to copy, valid while the
// ScanNodes it came from is alive and unchanged.
class ScanNode {
 public:
  ScanNode(const ScanNodes& nodes, std::uint64_t index) : nodes_(&nodes), index_(index) {}

  std::uint64_t Id() const { return index_; }
  // kNoNode for a root.
  std::uint64_t Parent() const;
  bool IsDirectory() const;
  bool IsReparsePoint() const { return (Attributes() & kAttributeReparsePoint) != 0; }
  std::uint32_t Attributes() const;
  // A file's logical size; a folder's own entry (0 from every Windows
  // engine; a saved scan from elsewhere may give one).
  std::uint64_t OwnSize() const;
  // The bytes a file's clusters take (all its streams; none for data held
  // in its MFT record), or a folder's total of them, each file counted
  // once however many of its names lie below.
  std::uint64_t SizeOnDisk() const;
  // A file with more than one name (hard links): how many it has, at least
  // the names found; 0 for any other node.
  std::uint32_t LinkCount() const;
  // A file whose data is not on this disk (a cloud placeholder): never
  // opened, its size on disk is what is really stored.
  bool IsPlaceholder() const;
  // Bytes in the whole subtree; a file's own size.
  std::uint64_t TotalSize() const;
  // Folder totals; 0 for a file.
  std::uint64_t DirectFilesSize() const;
  std::uint64_t FileCount() const;
  std::uint64_t FolderCount() const;  // the folder itself not counted
  std::uint64_t LastWriteTime() const;  // FILETIME: 100 ns units since 1601
  // Direct children, in the order they were added. Empty for a file.
  std::span<const std::uint32_t> Children() const;
  NodeName Name() const;
  std::u16string Path() const;

 private:
  const ScanNodes* nodes_;
  std::uint64_t index_;
};

// Where the bytes of a ScanNodes go, by structure.
struct ScanNodesMemory {
  std::uint64_t perNodeArrays = 0;  // parents, sizes, sizes on disk, times, attributes, flags,
                                    // names, slots
  std::uint64_t folderArrays = 0;   // per-folder totals and child ranges, link groups
  std::uint64_t childIndex = 0;     // the children grouped by folder
  std::uint64_t nameBytes = 0;      // the names themselves (arena bytes in use)
  std::uint64_t nameArenaAllocated = 0;
  std::uint64_t rootPaths = 0;
  std::uint64_t Total() const {
    return perNodeArrays + folderArrays + childIndex + nameArenaAllocated + rootPaths;
  }
};

class ScanNodes {
 public:
  ScanNodes() = default;
  ScanNodes(ScanNodes&& other) noexcept;
  ScanNodes& operator=(ScanNodes&& other) noexcept;
  ScanNodes(const ScanNodes&) = delete;
  ScanNodes& operator=(const ScanNodes&) = delete;

  // Reading, as from a container of ScanNode.
  std::uint64_t size() const { return parents_.size(); }
  std::uint64_t capacity() const { return parents_.capacity(); }
  bool empty() const { return parents_.empty(); }
  ScanNode operator[](std::uint64_t index) const { return ScanNode(*this, index); }

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = ScanNode;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = ScanNode;
    const_iterator() = default;
    const_iterator(const ScanNodes* nodes, std::uint64_t index) : nodes_(nodes), index_(index) {}
    ScanNode operator*() const { return ScanNode(*nodes_, index_); }
    const_iterator& operator++() {
      ++index_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++index_;
      return before;
    }
    bool operator==(const const_iterator& other) const { return index_ == other.index_; }

   private:
    const ScanNodes* nodes_ = nullptr;
    std::uint64_t index_ = 0;
  };
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

  // Field reads by index, for the hot loops of ranking and reports (the
  // index must be valid).
  bool IsDirectory(std::uint64_t i) const { return (flags_[i] & kDirectoryFlag) != 0; }
  std::uint64_t Parent(std::uint64_t i) const {
    return parents_[i] == kNoParent ? kNoNode : parents_[i];
  }
  std::uint32_t Attributes(std::uint64_t i) const { return attributes_[i]; }
  // A folder's total or a file's own size: what a node is ranked by.
  std::uint64_t RankingSize(std::uint64_t i) const { return sizes_[i]; }
  std::uint64_t RankingSize(std::uint64_t i, SizeBasis basis) const {
    return basis == SizeBasis::Logical ? sizes_[i] : sizesOnDisk_[i];
  }
  std::uint64_t OwnSize(std::uint64_t i) const {
    return IsDirectory(i) ? folderOwnSizes_[slots_[i]] : sizes_[i];
  }
  std::uint64_t SizeOnDisk(std::uint64_t i) const { return sizesOnDisk_[i]; }
  bool IsHardLinked(std::uint64_t i) const { return (flags_[i] & kHardLinkFlag) != 0; }
  std::uint32_t LinkCount(std::uint64_t i) const {
    return IsHardLinked(i) ? linkCounts_[slots_[i]] : 0;
  }
  bool IsPlaceholder(std::uint64_t i) const { return (flags_[i] & kPlaceholderFlag) != 0; }
  // A hard-linked file's link group, or kNoLinkGroup: the names of one file
  // share one, which lets a sum over names count the file's clusters once.
  std::uint32_t LinkGroup(std::uint64_t i) const { return IsHardLinked(i) ? slots_[i] : kNoLinkGroup; }
  // A folder's own entry on disk (SetFolderOwnSize); 0 for a file.
  std::uint64_t FolderOwnSizeOnDisk(std::uint64_t i) const {
    return IsDirectory(i) ? folderOwnSizesOnDisk_[slots_[i]] : 0;
  }
  std::uint64_t TotalSize(std::uint64_t i) const { return sizes_[i]; }
  std::uint64_t LastWriteTime(std::uint64_t i) const { return lastWriteTimes_[i]; }
  std::uint64_t DirectFilesSize(std::uint64_t i) const {
    return IsDirectory(i) ? directFilesSizes_[slots_[i]] : 0;
  }
  std::uint64_t FileCount(std::uint64_t i) const {
    return IsDirectory(i) ? fileCounts_[slots_[i]] : 0;
  }
  std::uint64_t FolderCount(std::uint64_t i) const {
    return IsDirectory(i) ? folderCounts_[slots_[i]] : 0;
  }
  std::span<const std::uint32_t> Children(std::uint64_t i) const;
  NodeName Name(std::uint64_t i) const { return names_.At(nameOffsets_[i]); }
  std::u16string Path(std::uint64_t i) const;
  // Appends node i's path to out; faster than Path for many nodes whose
  // parent paths are known: see PathMaker.
  void AppendPath(std::uint64_t i, std::u16string& out) const;
  // A root's own path (the path it was added with), or nullptr.
  const std::u16string* RootPath(std::uint64_t i) const;

  std::uint64_t FolderTotal() const { return fileCounts_.size(); }
  std::uint64_t LinkGroupTotal() const { return linkCounts_.size(); }

  ScanNodesMemory Memory() const;

  // Building. Parents must already exist (a smaller index) and be folders.
  // A root keeps the full path it is given; every other node's path
  // follows from its parent's and its name.
  std::uint64_t AddRoot(std::u16string_view name, std::u16string_view path,
                        std::uint32_t attributes, std::uint64_t lastWriteTime);
  // A folder below parent that keeps the full path it is given, as the root
  // of one drive does once several are merged under a label.
  std::uint64_t AddFolderWithPath(std::uint64_t parent, std::u16string_view name,
                                  std::u16string_view path, std::uint32_t attributes,
                                  std::uint64_t lastWriteTime);
  std::uint64_t AddFolder(std::uint64_t parent, std::u16string_view name,
                          std::uint32_t attributes, std::uint64_t lastWriteTime);
  // sizeOnDisk: the bytes the file's clusters take; engines that cannot
  // tell give the logical size.
  std::uint64_t AddFile(std::uint64_t parent, std::u16string_view name, std::uint32_t attributes,
                        std::uint64_t size, std::uint64_t lastWriteTime, std::uint64_t sizeOnDisk);
  // The same for a name already in the form the arena keeps (one read
  // from a saved scan, say): its bytes are copied as they are.
  std::uint64_t AddFolder(std::uint64_t parent, const NodeName& name, std::uint32_t attributes,
                          std::uint64_t lastWriteTime);
  std::uint64_t AddFile(std::uint64_t parent, const NodeName& name, std::uint32_t attributes,
                        std::uint64_t size, std::uint64_t lastWriteTime, std::uint64_t sizeOnDisk);
  void MarkPlaceholder(std::uint64_t file);
  // A folder's own entry takes bytes too on some file systems (4096 on most
  // Linux ones): counted in its totals, as du counts it.
  void SetFolderOwnSize(std::uint64_t folder, std::uint64_t size, std::uint64_t sizeOnDisk);
  // Makes the files names of one file with linkCount names (at least as
  // many as given): a folder's size on disk then counts its clusters once,
  // however many of them lie below it.
  void LinkNames(std::span<const std::uint64_t> files, std::uint32_t linkCount);
  void Reserve(std::uint64_t nodeCount);

  // For an engine that lays out a large tree first and fills it on several
  // threads: appends nodeCount blank nodes and folderCount blank folder
  // slots; returns the first of each. Each blank node is then set once by
  // SetFolder or SetFile, from any thread, each node by one; nameOffset
  // addresses this store's arena (see AdoptNames).
  std::pair<std::uint64_t, std::uint64_t> AppendBlank(std::uint64_t nodeCount,
                                                      std::uint64_t folderCount);
  void SetFolder(std::uint64_t i, std::uint64_t folderSlot, std::uint64_t parent,
                 std::uint64_t nameOffset, std::uint32_t attributes, std::uint64_t lastWriteTime);
  void SetFile(std::uint64_t i, std::uint64_t parent, std::uint64_t nameOffset,
               std::uint32_t attributes, std::uint64_t size, std::uint64_t lastWriteTime,
               std::uint64_t sizeOnDisk);
  // The per-node fields of the blank nodes from first on, for a reader
  // whose nodes arrive a field at a time (a saved scan keeps them so): it
  // may use them as scratch, each as long as the blank nodes, and still
  // sets every node by SetFolder or SetFile afterwards.
  struct BlankFields {
    std::span<std::uint32_t> parents;
    std::span<std::uint32_t> attributes;
    std::span<std::uint64_t> sizes;
    std::span<std::uint64_t> sizesOnDisk;
    std::span<std::uint64_t> lastWriteTimes;
  };
  BlankFields FieldsOfBlank(std::uint64_t first);
  // Makes folder i, set by SetFolder, keep the full path it is given, as
  // AddRoot and AddFolderWithPath do. Called in ascending node order.
  void SetOwnPath(std::uint64_t i, std::u16string_view path);
  // Takes another arena's names; returns what to add to its offsets.
  std::uint64_t AdoptNames(NameArena&& names) { return names_.Adopt(std::move(names)); }

  // Lays out the children of every folder from the parents (see the note at
  // the top). Run once the nodes are complete; nodes added later are not
  // listed until it runs again. Nothing to do when nothing changed since.
  void LinkChildren();
  // Fills the totals of every folder from the nodes below it, saturating
  // sizes (a damaged disk can claim sizes whose sum would wrap around). The
  // logical totals count every name; the sizes on disk count each linked
  // file once per folder.
  void ComputeTotals();
  // The same totals for one folder from its direct children alone (which
  // must be totalled): how a merged scan's synthetic root is summed up.
  void RollUpFromChildren(std::uint64_t folder);

  // Appends part's nodes behind this store's, its roots hung under
  // newParent (a folder here). Children are linked again afterwards.
  void Append(ScanNodes&& part, std::uint64_t newParent);

 private:
  friend class ScanNode;

  static constexpr std::uint32_t kNoParent = 0xFFFFFFFFu;
  static constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;
  static constexpr std::uint8_t kDirectoryFlag = 0x1;
  static constexpr std::uint8_t kRootFlag = 0x2;
  static constexpr std::uint8_t kHardLinkFlag = 0x4;
  static constexpr std::uint8_t kPlaceholderFlag = 0x8;

  std::uint64_t AppendNode(std::uint64_t parent, std::uint64_t nameOffset, std::uint8_t flags,
                           std::uint32_t attributes, std::uint64_t size,
                           std::uint64_t lastWriteTime, std::uint64_t sizeOnDisk);
  void AddLinkedFilesOnDisk();
  std::uint32_t AppendFolderSlot();
  void CheckParent(std::uint64_t parent) const;

  // Per node. Filled on several threads by an engine that appends blank
  // nodes (AppendBlank), so their fresh pages are faulted in there.
  base::DefaultInitVector<std::uint32_t> parents_;
  base::DefaultInitVector<std::uint64_t> sizes_;  // own size of a file, total of a folder
  base::DefaultInitVector<std::uint64_t> sizesOnDisk_;  // the same, on disk
  base::DefaultInitVector<std::uint64_t> lastWriteTimes_;
  base::DefaultInitVector<std::uint64_t> nameOffsets_;
  base::DefaultInitVector<std::uint32_t> attributes_;
  // A folder's slot in the per-folder arrays; a hard-linked file's link
  // group; kNoSlot for any other file.
  base::DefaultInitVector<std::uint32_t> slots_;
  base::DefaultInitVector<std::uint8_t> flags_;
  // Per folder slot.
  std::vector<std::uint64_t> folderOwnSizes_;
  std::vector<std::uint64_t> folderOwnSizesOnDisk_;
  std::vector<std::uint64_t> directFilesSizes_;
  std::vector<std::uint32_t> fileCounts_;
  std::vector<std::uint32_t> folderCounts_;
  std::vector<std::uint32_t> childStarts_;  // slot -> its first child; one more at the end
  base::DefaultInitVector<std::uint32_t> children_;
  // Per link group: the names the file has.
  std::vector<std::uint32_t> linkCounts_;
  NameArena names_;
  bool childrenLinked_ = false;
  // The roots' own paths, by node index (ascending).
  std::vector<std::pair<std::uint32_t, std::u16string>> rootPaths_;
};

inline std::uint64_t ScanNode::Parent() const { return nodes_->Parent(index_); }
inline bool ScanNode::IsDirectory() const { return nodes_->IsDirectory(index_); }
inline std::uint32_t ScanNode::Attributes() const { return nodes_->Attributes(index_); }
inline std::uint64_t ScanNode::OwnSize() const { return nodes_->OwnSize(index_); }
inline std::uint64_t ScanNode::SizeOnDisk() const { return nodes_->SizeOnDisk(index_); }
inline std::uint32_t ScanNode::LinkCount() const { return nodes_->LinkCount(index_); }
inline bool ScanNode::IsPlaceholder() const { return nodes_->IsPlaceholder(index_); }
inline std::uint64_t ScanNode::TotalSize() const { return nodes_->TotalSize(index_); }
inline std::uint64_t ScanNode::DirectFilesSize() const { return nodes_->DirectFilesSize(index_); }
inline std::uint64_t ScanNode::FileCount() const { return nodes_->FileCount(index_); }
inline std::uint64_t ScanNode::FolderCount() const { return nodes_->FolderCount(index_); }
inline std::uint64_t ScanNode::LastWriteTime() const { return nodes_->LastWriteTime(index_); }
inline std::span<const std::uint32_t> ScanNode::Children() const {
  return nodes_->Children(index_);
}
inline NodeName ScanNode::Name() const { return nodes_->Name(index_); }
inline std::u16string ScanNode::Path() const { return nodes_->Path(index_); }

// Makes the paths of many nodes, reusing the last parent's path: listing a
// folder's children one after another costs one parent walk, not one each.
class PathMaker {
 public:
  explicit PathMaker(const ScanNodes& nodes) : nodes_(nodes) {}
  const std::u16string& PathOf(std::uint64_t i);

 private:
  const ScanNodes& nodes_;
  std::uint64_t cachedParent_ = kNoNode;
  std::u16string parentPath_;
  std::u16string path_;
};

}  // namespace ombrix::core
