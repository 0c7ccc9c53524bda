// The model behind the window's three lists: the Folders tree rows, and the
// largest files and folders below the selected node with their shares. It
// runs on the window thread, owns the window's own result (moved in when a
// scan ends) and shares nothing with the scan threads.
//
// Every change of the selection re-ranks from scratch, and that has to
// stay instant on volumes of tens of millions of nodes: rankings visit only
// the nodes below the selection (nodes_below.h) and keep the largest in a
// bounded heap (largest_nodes.h). Nothing is cached between selections, but
// selecting the node whose rankings are shown (the click that selected a
// row, then its [+] box; an order flip) does not rank it again.
//
// Rows carry node indices, depths and shares only; the column texts are
// made from them by the row-text code, which reads the nodes through
// Result().
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

#include "app/compare/shown_comparison.h"
#include "app/ranking/tree_rows.h"
#include "core/scan_model.h"

namespace ombrix::app {

// Rows of the Files list and of the Subfolders list, at most.
inline constexpr std::uint64_t kRankingLength = 30;

// The root path of a scan of every local drive. Below such a root the
// drive roots themselves are left out of the Subfolders list.
inline constexpr char16_t kAllDrivesLabel[] = u"All local drives";

struct RankingRow {
  std::uint64_t node = core::kNoNode;
  double share = 0.0;  // percent of the ranked node's size
  // A deleted file or folder (ranked by its shrink): its index in the
  // comparison's deleted list, with node none.
  std::uint64_t deleted = core::kNoNode;

  bool operator==(const RankingRow&) const = default;
};

// The right-hand list that the Open command uses first.
enum class RankingList { None, Files, Subfolders };

class FolderRankingModel {
 public:
  // Takes over a finished result: nothing expanded but the root, the root
  // selected, the tree rows rebuilt, and the root ranked unless the scan
  // was cancelled (then the right-hand lists stay empty).
  void SetResult(core::ScanResult result);
  const core::ScanResult& Result() const { return result_; }
  // Gives the result away whole, leaving the model as an empty result
  // leaves it: the caller frees a large tree where it suits it.
  core::ScanResult ReleaseResult();

  // Percent of base's ranking size (on the chosen basis) that node takes (base none: the root);
  // 0 when either is invalid or the base is empty. Not clamped.
  double ShareOf(std::uint64_t node, std::uint64_t base) const;
  bool CompareTreeSiblings(std::uint64_t a, std::uint64_t b, bool descending) const;
  // treeRows from the root, expandedNodes and shareDescending.
  void RebuildTreeRows();
  // A folder with at least one child.
  bool IsExpandable(std::uint64_t node) const;
  // Adds or removes an expandable node in expandedNodes; false (and no
  // change) for any other node. The caller rebuilds the rows and selects
  // the node again (SelectTreeNode).
  bool ToggleExpanded(std::uint64_t node);

  // The largest files below node (a file ranks only itself) and the
  // largest folders below it (never node itself), largest first. Node none
  // or the root: the whole result.
  std::vector<std::uint64_t> RankFiles(std::uint64_t node,
                                       std::uint64_t limit = kRankingLength) const;
  std::vector<std::uint64_t> RankSubfolders(std::uint64_t node, std::uint64_t limit) const;
  bool IsAllDrivesRoot(std::uint64_t node) const;
  // fileRows and subfolderRows for node (none: the root), with shares of
  // its ranking size; clears activeRankingList. The window always uses
  // kRankingLength; ombrix-scan passes its own limit.
  void BuildRankings(std::uint64_t node, std::uint64_t limit = kRankingLength);

  // Position of node's row in treeRows, if it has one.
  std::optional<std::size_t> TreeRowOf(std::uint64_t node) const;
  // A Folders row was selected: selectedNode = node, then its rankings
  // unless they are the ones made last.
  void SelectNode(std::uint64_t node);
  // Selects node again after the rows were rebuilt (toggle, order flip):
  // when it has a row, SelectNode and return that row for the view to mark.
  std::optional<std::size_t> SelectTreeNode(std::uint64_t node);
  // The share header was clicked: flips the order, rebuilds the rows and
  // selects the previous selection again when it still has a row.
  std::optional<std::size_t> FlipShareOrder();

  // Ranks, orders and shares by the other size from now on: the rows
  // rebuilt and the selection ranked again. The selection's row, if any.
  std::optional<std::size_t> SetSizeBasis(core::SizeBasis basis);
  core::SizeBasis Basis() const { return sizeBasis_; }

  // Shows every node's change since an earlier scan of the same root, and
  // the deleted files and folders as rows of their own below the folders
  // that held them; the order stays as it is. A new result drops it.
  // The selection's row, if any.
  std::optional<std::size_t> SetComparison(ScanComparison comparison);
  std::optional<std::size_t> ClearComparison();
  const ShownComparison* Comparison() const { return comparison_ ? &*comparison_ : nullptr; }
  // Orders the tree's siblings and ranks the right-hand lists by change
  // (None: by size again). Ignored without a comparison. The selection's
  // row, if any.
  std::optional<std::size_t> SetChangeOrder(ChangeOrder order);
  ChangeOrder Order() const { return changeOrder_; }

  // Changes whenever fileRows and subfolderRows are made anew, so the view
  // refreshes the right-hand lists (and drops their selections) only then.
  std::uint64_t RankingsRevision() const { return rankingsRevision_; }

  std::unordered_set<std::uint64_t> expandedNodes;
  bool shareDescending = true;
  std::uint64_t selectedNode = core::kNoNode;
  std::vector<TreeRow> treeRows;
  std::vector<RankingRow> fileRows;
  std::vector<RankingRow> subfolderRows;
  RankingList activeRankingList = RankingList::None;

 private:
  struct Ranked {
    std::vector<std::uint64_t> files;
    std::vector<std::uint64_t> folders;
  };

  // Both rankings in one visit of the nodes below node. In an order by
  // change, a deleted file or folder is ranked as index size() + its
  // index in the deleted list.
  Ranked RankBelow(std::uint64_t node, std::uint64_t fileLimit, std::uint64_t folderLimit) const;
  Ranked RankChangesBelow(std::uint64_t node, std::uint64_t fileLimit,
                          std::uint64_t folderLimit) const;
  RankingRow RowOf(std::uint64_t ranked, std::uint64_t baseSize) const;
  // Rows rebuilt and the selection ranked again, after the order or the
  // comparison changed.
  std::optional<std::size_t> Reorder();

  core::ScanResult result_;
  // What fileRows and subfolderRows rank, when they are complete.
  struct RankedFor {
    std::uint64_t node;
    std::uint64_t limit;
  };
  std::optional<RankedFor> ranked_;
  std::uint64_t rankingsRevision_ = 0;
  core::SizeBasis sizeBasis_ = core::SizeBasis::Logical;
  std::optional<ShownComparison> comparison_;
  ChangeOrder changeOrder_ = ChangeOrder::None;
};

}  // namespace ombrix::app
