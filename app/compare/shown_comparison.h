// A comparison as the window's lists read it: each node's change, the
// deleted files and folders grouped by the folder that held them, and the
// key that orders rows by change. Built once when a comparison is shown;
// read-only afterwards, on the window thread.
#pragma once

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "app/compare/scan_comparison.h"

namespace ombrix::app {

// How the lists are ordered while a comparison is shown: by size as always,
// or by change, the largest growth or the largest shrink first.
enum class ChangeOrder : std::uint8_t { None, GrowthFirst, ShrinkFirst };

class ShownComparison {
 public:
  explicit ShownComparison(ScanComparison comparison);

  // Null for an index the later scan does not hold.
  const NodeChange* ChangeOf(std::uint64_t node) const;
  std::uint64_t DeletedCount() const { return comparison_.deleted.size(); }
  // Null past the end.
  const DeletedNode* Deleted(std::uint64_t index) const;
  // The deleted files and folders that folder held, largest first, as
  // indices for Deleted().
  std::span<const std::uint32_t> DeletedIn(std::uint64_t folder) const;

 private:
  ScanComparison comparison_;
  // Deleted indices grouped by parent; each parent's run largest first.
  std::vector<std::uint32_t> byParent_;
  // Parent -> [first, end) of its run in byParent_.
  std::unordered_map<std::uint64_t, std::pair<std::uint32_t, std::uint32_t>> runs_;
};

// True when a node with this change is ranked in that order: grown or new
// for growth, shrunk for shrink. Nothing is ranked when order is None.
bool RankedInChangeOrder(const NodeChange& change, ChangeOrder order);

// Orders byte changes as unsigned keys, the first listed largest: the
// growth itself for GrowthFirst, the shrink for ShrinkFirst.
std::uint64_t ChangeRankKey(std::int64_t bytes, ChangeOrder order);

}  // namespace ombrix::app
