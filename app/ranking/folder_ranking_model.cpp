#include "app/ranking/folder_ranking_model.h"

#include <utility>

#include "app/ranking/largest_nodes.h"
#include "app/ranking/nodes_below.h"
#include "base/checked_math.h"

namespace ombrix::app {

namespace {

double SharePercent(std::uint64_t size, std::uint64_t baseSize) {
  if (baseSize == 0) return 0.0;
  return 100.0 * static_cast<double>(size) / static_cast<double>(baseSize);
}

}  // namespace

void FolderRankingModel::SetResult(core::ScanResult result) {
  result_ = std::move(result);
  comparison_.reset();
  changeOrder_ = ChangeOrder::None;
  expandedNodes.clear();
  selectedNode = result_.rootIndex;
  if (result_.rootIndex < result_.nodes.size()) expandedNodes.insert(result_.rootIndex);
  RebuildTreeRows();
  // The previous result's rows index nodes of a tree that is gone; after a
  // cancelled scan the lists stay empty rather than pointing into this one.
  ranked_.reset();
  ++rankingsRevision_;
  fileRows.clear();
  subfolderRows.clear();
  activeRankingList = RankingList::None;
  if (result_.status != core::ScanStatus::Cancelled) BuildRankings(result_.rootIndex);
}

core::ScanResult FolderRankingModel::ReleaseResult() {
  core::ScanResult released = std::move(result_);
  SetResult(core::ScanResult{});
  return released;
}

double FolderRankingModel::ShareOf(std::uint64_t node, std::uint64_t base) const {
  const auto& nodes = result_.nodes;
  if (node >= nodes.size()) return 0.0;
  if (base == core::kNoNode) base = result_.rootIndex;
  if (base >= nodes.size()) return 0.0;
  return SharePercent(nodes.RankingSize(node, sizeBasis_), nodes.RankingSize(base, sizeBasis_));
}

bool FolderRankingModel::CompareTreeSiblings(std::uint64_t a, std::uint64_t b,
                                             bool descending) const {
  return app::CompareTreeSiblings(result_.nodes, sizeBasis_, a, b, descending);
}

void FolderRankingModel::RebuildTreeRows() {
  ListTreeRows(result_.nodes, sizeBasis_, result_.rootIndex, expandedNodes, shareDescending,
               treeRows, TreeChanges{Comparison(), changeOrder_});
}

bool FolderRankingModel::IsExpandable(std::uint64_t node) const {
  if (node >= result_.nodes.size()) return false;
  // A folder emptied since the compared scan still opens on what it lost.
  return !result_.nodes.Children(node).empty() ||
         (comparison_ && result_.nodes.IsDirectory(node) && !comparison_->DeletedIn(node).empty());
}

bool FolderRankingModel::ToggleExpanded(std::uint64_t node) {
  if (!IsExpandable(node)) return false;
  if (!expandedNodes.erase(node)) expandedNodes.insert(node);
  return true;
}

FolderRankingModel::Ranked FolderRankingModel::RankBelow(std::uint64_t node,
                                                         std::uint64_t fileLimit,
                                                         std::uint64_t folderLimit) const {
  if (comparison_ && changeOrder_ != ChangeOrder::None) {
    return RankChangesBelow(node, fileLimit, folderLimit);
  }
  LargestNodes files(fileLimit);
  LargestNodes folders(folderLimit);
  const core::ScanNodes& nodes = result_.nodes;
  ForEachNodeBelow(result_, node, [&](std::uint64_t index) {
    if (!nodes.IsDirectory(index)) {
      files.Offer(index, nodes.RankingSize(index, sizeBasis_));
    } else if (index != node) {
      folders.Offer(index, nodes.RankingSize(index, sizeBasis_));
    }
  });
  return {files.TakeRanked(), folders.TakeRanked()};
}

FolderRankingModel::Ranked FolderRankingModel::RankChangesBelow(std::uint64_t node,
                                                                std::uint64_t fileLimit,
                                                                std::uint64_t folderLimit) const {
  LargestNodes files(fileLimit);
  LargestNodes folders(folderLimit);
  const core::ScanNodes& nodes = result_.nodes;
  const ShownComparison& comparison = *comparison_;
  const bool listsDeleted = changeOrder_ == ChangeOrder::ShrinkFirst;
  ForEachNodeBelow(result_, node, [&](std::uint64_t index) {
    const bool folder = nodes.IsDirectory(index);
    const NodeChange* change = comparison.ChangeOf(index);
    if (change != nullptr && index != node && RankedInChangeOrder(*change, changeOrder_)) {
      (folder ? folders : files).Offer(index, ChangeRankKey(change->bytes, changeOrder_));
    }
    if (!folder || !listsDeleted) return;
    // What a folder lost shrank it by all it held.
    for (const std::uint32_t gone : comparison.DeletedIn(index)) {
      const DeletedNode& deleted = *comparison.Deleted(gone);
      (deleted.isDirectory ? folders : files)
          .Offer(nodes.size() + gone,
                 ChangeRankKey(-static_cast<std::int64_t>(deleted.bytes), changeOrder_));
    }
  });
  return {files.TakeRanked(), folders.TakeRanked()};
}

RankingRow FolderRankingModel::RowOf(std::uint64_t ranked, std::uint64_t baseSize) const {
  const core::ScanNodes& nodes = result_.nodes;
  if (ranked >= nodes.size()) return {core::kNoNode, 0.0, ranked - nodes.size()};
  return {ranked, SharePercent(nodes.RankingSize(ranked, sizeBasis_), baseSize)};
}

std::vector<std::uint64_t> FolderRankingModel::RankFiles(std::uint64_t node,
                                                         std::uint64_t limit) const {
  return RankBelow(node, limit, 0).files;
}

std::vector<std::uint64_t> FolderRankingModel::RankSubfolders(std::uint64_t node,
                                                              std::uint64_t limit) const {
  return RankBelow(node, 0, limit).folders;
}

bool FolderRankingModel::IsAllDrivesRoot(std::uint64_t node) const {
  return node == result_.rootIndex && node < result_.nodes.size() &&
         result_.rootPath == kAllDrivesLabel;
}

void FolderRankingModel::BuildRankings(std::uint64_t node, std::uint64_t limit) {
  // Unset until the rows are complete: rows left half made by a failed
  // allocation are never taken for the node's.
  ranked_.reset();
  ++rankingsRevision_;
  fileRows.clear();
  subfolderRows.clear();
  activeRankingList = RankingList::None;
  const auto& nodes = result_.nodes;
  if (nodes.empty()) return;
  if (node == core::kNoNode) node = result_.rootIndex;
  const std::uint64_t baseSize = node < nodes.size() ? nodes.RankingSize(node, sizeBasis_) : 0;

  // Below the root of an all-drives scan the drive roots (the root's
  // children) are not rows: rank as many more as there are drives, then
  // skip them, so the list still fills up with the folders on the drives.
  const bool allDrives = IsAllDrivesRoot(node);
  const std::uint64_t folderLimit =
      allDrives ? base::SaturatingAdd(limit, nodes.Children(node).size()) : limit;
  const Ranked ranked = RankBelow(node, limit, folderLimit);

  fileRows.reserve(ranked.files.size());
  for (const std::uint64_t file : ranked.files) fileRows.push_back(RowOf(file, baseSize));
  for (const std::uint64_t folder : ranked.folders) {
    if (subfolderRows.size() == limit) break;
    if (allDrives && folder < nodes.size() && nodes.Parent(folder) == node) continue;
    subfolderRows.push_back(RowOf(folder, baseSize));
  }
  ranked_ = RankedFor{node, limit};
}

std::optional<std::size_t> FolderRankingModel::TreeRowOf(std::uint64_t node) const {
  // Rows of deleted files and folders have no node.
  if (node == core::kNoNode) return std::nullopt;
  for (std::size_t row = 0; row < treeRows.size(); ++row) {
    if (treeRows[row].node == node) return row;
  }
  return std::nullopt;
}

void FolderRankingModel::SelectNode(std::uint64_t node) {
  selectedNode = node;
  if (ranked_ && ranked_->node == node && ranked_->limit == kRankingLength) return;
  BuildRankings(node);
}

std::optional<std::size_t> FolderRankingModel::SelectTreeNode(std::uint64_t node) {
  const std::optional<std::size_t> row = TreeRowOf(node);
  if (row) SelectNode(node);
  return row;
}

std::optional<std::size_t> FolderRankingModel::SetSizeBasis(core::SizeBasis basis) {
  if (basis == sizeBasis_) return TreeRowOf(selectedNode);
  sizeBasis_ = basis;
  return Reorder();
}

std::optional<std::size_t> FolderRankingModel::SetComparison(ScanComparison comparison) {
  comparison_.emplace(std::move(comparison));
  changeOrder_ = ChangeOrder::None;
  return Reorder();
}

std::optional<std::size_t> FolderRankingModel::ClearComparison() {
  comparison_.reset();
  changeOrder_ = ChangeOrder::None;
  return Reorder();
}

std::optional<std::size_t> FolderRankingModel::SetChangeOrder(ChangeOrder order) {
  if (!comparison_ || order == changeOrder_) return TreeRowOf(selectedNode);
  changeOrder_ = order;
  return Reorder();
}

// The selection stays where it was when it still has a row; otherwise the
// root, which always has one.
std::optional<std::size_t> FolderRankingModel::Reorder() {
  RebuildTreeRows();
  const std::uint64_t selection = selectedNode;
  ranked_.reset();
  fileRows.clear();
  subfolderRows.clear();
  ++rankingsRevision_;
  if (result_.status == core::ScanStatus::Cancelled) return TreeRowOf(selection);
  const std::optional<std::size_t> row = SelectTreeNode(selection);
  return row ? row : SelectTreeNode(result_.rootIndex);
}

std::optional<std::size_t> FolderRankingModel::FlipShareOrder() {
  shareDescending = !shareDescending;
  RebuildTreeRows();
  if (selectedNode == core::kNoNode) return std::nullopt;
  return SelectTreeNode(selectedNode);
}

}  // namespace ombrix::app
