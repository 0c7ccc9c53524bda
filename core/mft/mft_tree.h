// Rebuilding the scan root's folder tree from the flat table of decoded
// name entries. Runs on the scan thread and never touches the disk: every
// name, size and attribute comes from the entries. The walk is iterative and
// pushes each entry at most once, so damaged parent references that form a
// cycle cannot make it loop.
//
// Memory and time are the constraints at tens of millions of nodes, so the
// tree is built in passes. One thread walks the entries and only decides
// where each node goes (cheap: no strings but the walked folders' paths,
// for progress). The nodes are then appended at once, and a few threads
// give them their fields from the entries. Names are never copied: the
// entries' name arena becomes the result's.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/engine_progress.h"
#include "core/mft/mft_record.h"
#include "core/scan_model.h"
#include "core/scan_tree_builder.h"

namespace ombrix::core {

// Parent record number -> positions of its entries, ascending (record order,
// then attribute order within a record). All positions sit in one array,
// grouped by parent, from one counting pass, and one 32-bit start per
// record of the stream: no list per folder, no hashing.
//
// Only parents below recordLimit (the records the $MFT stream holds) have
// children: a reference beyond the stream is damage and names no folder
// the walk can reach.
class MftChildrenMap {
 public:
  MftChildrenMap() = default;
  MftChildrenMap(const std::vector<MftNameEntry>& entries, std::uint64_t recordLimit);

  // Positions of the entries held by the folder parentReference; empty when
  // it holds none.
  std::span<const std::uint32_t> ChildrenOf(std::uint64_t parentReference) const;
  // The number of distinct parents.
  std::size_t ParentCount() const { return parentCount_; }
  // Records of the stream: references at or beyond it name nothing.
  std::uint64_t RecordLimit() const { return start_.empty() ? 0 : start_.size() - 1; }

 private:
  std::vector<std::uint32_t> start_;  // record -> its first position; one more at the end
  std::vector<std::uint32_t> positions_;
  std::size_t parentCount_ = 0;
};

MftChildrenMap BuildChildrenMap(const std::vector<MftNameEntry>& entries,
                                std::uint64_t recordLimit);

// Adds the sub-tree below rootReference under the builder's node rootIndex,
// whose path is rootPath. Reports progress per folder and every 128 files
// (from this thread); stops when the token is cancelled, keeping what was
// added. Consumes the table (its names move into the builder's nodes) and
// the children map. The nodes are filled by up to workerLimit threads, each
// on its own range of nodes, after the walk.
void PopulateMftTree(ScanTreeBuilder& builder, std::uint64_t rootIndex,
                     const std::u16string& rootPath, std::uint64_t rootReference,
                     MftNameTable&& table, MftChildrenMap&& children,
                     const ScanCancellationToken& token, EngineProgress& progress,
                     std::uint64_t workerLimit);

// Follows names down from the folder startReference, one folder level per
// name, and returns the record number reached (nothing when a name is not
// found). Used where the root's record cannot be asked of the file system
// (an image file). Within each folder an exact match wins; otherwise the
// first folder in record order whose name matches case-insensitively
// (base/name_case.h). Reparse-point folders are not followed, as the walk
// does not descend into them either.
std::optional<std::uint64_t> FindFolderByNames(const std::vector<std::u16string>& names,
                                               std::uint64_t startReference,
                                               const MftNameTable& table,
                                               const MftChildrenMap& children);

}  // namespace ombrix::core
