#include "app/compare/shown_comparison.h"

#include <algorithm>
#include <utility>

namespace ombrix::app {

ShownComparison::ShownComparison(ScanComparison comparison) : comparison_(std::move(comparison)) {
  const auto& deleted = comparison_.deleted;
  // A comparison of more than 2^32 deleted entries cannot be listed; the
  // window never sees one (a scan holds fewer nodes).
  const std::uint32_t count =
      static_cast<std::uint32_t>(std::min<std::uint64_t>(deleted.size(), UINT32_MAX));
  byParent_.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) byParent_[i] = i;
  std::sort(byParent_.begin(), byParent_.end(), [&](std::uint32_t a, std::uint32_t b) {
    if (deleted[a].parent != deleted[b].parent) return deleted[a].parent < deleted[b].parent;
    if (deleted[a].bytes != deleted[b].bytes) return deleted[a].bytes > deleted[b].bytes;
    return a < b;
  });
  for (std::uint32_t i = 0; i < count;) {
    std::uint32_t end = i + 1;
    while (end < count && deleted[byParent_[end]].parent == deleted[byParent_[i]].parent) ++end;
    runs_.emplace(deleted[byParent_[i]].parent, std::make_pair(i, end));
    i = end;
  }
}

const NodeChange* ShownComparison::ChangeOf(std::uint64_t node) const {
  return node < comparison_.changes.size() ? &comparison_.changes[node] : nullptr;
}

const DeletedNode* ShownComparison::Deleted(std::uint64_t index) const {
  return index < comparison_.deleted.size() ? &comparison_.deleted[index] : nullptr;
}

std::span<const std::uint32_t> ShownComparison::DeletedIn(std::uint64_t folder) const {
  const auto run = runs_.find(folder);
  if (run == runs_.end()) return {};
  return std::span<const std::uint32_t>(byParent_).subspan(run->second.first,
                                                           run->second.second - run->second.first);
}

bool RankedInChangeOrder(const NodeChange& change, ChangeOrder order) {
  switch (order) {
    case ChangeOrder::None:
      return false;
    case ChangeOrder::GrowthFirst:
      return change.bytes > 0 || change.kind == ChangeKind::Added;
    case ChangeOrder::ShrinkFirst:
      return change.bytes < 0;
  }
  return false;
}

std::uint64_t ChangeRankKey(std::int64_t bytes, ChangeOrder order) {
  // Flipping the sign bit maps signed order onto unsigned order; the
  // shrink order ranks the negated change, computed without overflow.
  const std::uint64_t growth = static_cast<std::uint64_t>(bytes) ^ (std::uint64_t{1} << 63);
  return order == ChangeOrder::ShrinkFirst ? ~growth : growth;
}

}  // namespace ombrix::app
