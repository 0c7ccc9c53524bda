// Rebuilding the scan root's folder tree from the flat vector of decoded
// name entries. Runs on the scan thread and never touches the disk: every
// name, size and attribute comes from the entries. The walk is iterative and
// pushes each entry at most once, so damaged parent references that form a
// cycle cannot make it loop.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/engine_progress.h"
#include "core/mft/mft_record.h"
#include "core/scan_model.h"
#include "core/scan_tree_builder.h"

namespace ombrix::core {

// Parent record number -> positions of its entries, ascending (record order,
// then attribute order within a record).
using MftChildrenMap = std::unordered_map<std::uint64_t, std::vector<std::uint64_t>>;

MftChildrenMap BuildChildrenMap(const std::vector<MftNameEntry>& entries);

// Adds the sub-tree below rootReference under the builder's node rootIndex.
// Reports progress per folder and every 128 files; stops when the token is
// cancelled, keeping what was added.
void PopulateMftTree(ScanTreeBuilder& builder, std::uint64_t rootIndex,
                     const std::u16string& rootPath, std::uint64_t rootReference,
                     const std::vector<MftNameEntry>& entries, const MftChildrenMap& children,
                     const ScanCancellationToken& token, EngineProgress& progress);

// Follows names down from the folder startReference, one folder level per
// name, and returns the record number reached (nothing when a name is not
// found). Used where the root's record cannot be asked of the file system
// (an image file). Within each folder an exact match wins; otherwise the
// first folder in record order whose name matches case-insensitively
// (simple one-to-one case mapping of ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic; NTFS itself compares with the volume's $UpCase table,
// which agrees with this for those scripts). Reparse-point folders are not
// followed, as the walk does not descend into them either.
std::optional<std::uint64_t> FindFolderByNames(const std::vector<std::u16string>& names,
                                               std::uint64_t startReference,
                                               const std::vector<MftNameEntry>& entries,
                                               const MftChildrenMap& children);

// Uppercase of one UTF-16 code unit under the simple mapping above.
char16_t FoldNameUnit(char16_t unit);

}  // namespace ombrix::core
