#include "app/find/file_types.h"

#include <algorithm>
#include <atomic>
#include <set>
#include <unordered_map>
#include <utility>

#include "app/find/file_extension.h"
#include "app/find/folded_name.h"
#include "base/checked_math.h"
#include "base/parallel_slices.h"

namespace ombrix::app {
namespace {

// The folded units after the dot: what files of one type share. (Folding
// leaves the dot and the space alone, so the extension is found in the
// folded name.)
template <typename FoldedName>
void AppendTypeKey(const FoldedName& name, std::u16string& key) {
  for (std::size_t i = ExtensionStart(name) + 1; i < name.size(); ++i) key.push_back(name[i]);
}

template <typename FoldedName>
bool HasTypeKey(const FoldedName& name, std::u16string_view key) {
  const std::size_t start = ExtensionStart(name);
  const std::size_t length = start == name.size() ? 0 : name.size() - start - 1;
  if (length != key.size()) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (name[start + 1 + i] != key[i]) return false;
  }
  return true;
}

struct TypeTally {
  std::u16string key;
  std::uint64_t firstNode = 0;
  std::uint64_t size = 0;
  std::uint64_t sizeOnDisk = 0;  // of files with one name
  std::uint64_t fileCount = 0;
};

// A name of a file with several: its clusters are added once per type,
// after the tallies are complete.
struct LinkedName {
  std::uint32_t tally;
  std::uint32_t group;
  std::uint64_t sizeOnDisk;
};

class TypeTallies {
 public:
  void Add(const core::ScanNodes& nodes, std::uint64_t i) {
    key_.clear();
    WithFoldedName(nodes.Name(i), [this](const auto& name) { AppendTypeKey(name, key_); });
    // Files of a folder are met together and are mostly of a few types:
    // the last type is tried before the table.
    if (tallies_.empty() || key_ != tallies_[lastTally_].key) lastTally_ = TallyFor(key_, i);
    TypeTally& tally = tallies_[lastTally_];
    // A subtree is walked in no particular order.
    tally.firstNode = std::min(tally.firstNode, i);
    tally.size = base::SaturatingAdd(tally.size, nodes.TotalSize(i));
    ++tally.fileCount;
    if (nodes.IsHardLinked(i)) {
      linked_.push_back({lastTally_, nodes.LinkGroup(i), nodes.SizeOnDisk(i)});
    } else {
      tally.sizeOnDisk = base::SaturatingAdd(tally.sizeOnDisk, nodes.SizeOnDisk(i));
    }
  }

  void Merge(TypeTallies&& other) {
    std::vector<std::uint32_t> renumbered(other.tallies_.size());
    for (std::size_t t = 0; t < other.tallies_.size(); ++t) {
      TypeTally& from = other.tallies_[t];
      const std::uint32_t into = TallyFor(from.key, from.firstNode);
      TypeTally& tally = tallies_[into];
      tally.firstNode = std::min(tally.firstNode, from.firstNode);
      tally.size = base::SaturatingAdd(tally.size, from.size);
      tally.sizeOnDisk = base::SaturatingAdd(tally.sizeOnDisk, from.sizeOnDisk);
      tally.fileCount += from.fileCount;
      renumbered[t] = into;
    }
    for (LinkedName name : other.linked_) {
      name.tally = renumbered[name.tally];
      linked_.push_back(name);
    }
  }

  // Each linked file's clusters once per type; then the rows, largest first.
  FileTypeBreakdown Finish(const core::ScanNodes& nodes, core::SizeBasis basis) {
    std::set<std::pair<std::uint32_t, std::uint32_t>> counted;
    for (const LinkedName& name : linked_) {
      if (counted.emplace(name.tally, name.group).second) {
        tallies_[name.tally].sizeOnDisk =
            base::SaturatingAdd(tallies_[name.tally].sizeOnDisk, name.sizeOnDisk);
      }
    }
    FileTypeBreakdown breakdown;
    breakdown.rows.reserve(tallies_.size());
    for (const TypeTally& tally : tallies_) {
      FileTypeRow row;
      const core::NodeName first = nodes.Name(tally.firstNode);
      for (std::size_t i = ExtensionStart(first); i < first.size(); ++i) {
        row.extension.push_back(first[i]);
      }
      row.size = tally.size;
      row.sizeOnDisk = tally.sizeOnDisk;
      row.fileCount = tally.fileCount;
      breakdown.size = base::SaturatingAdd(breakdown.size, row.size);
      breakdown.sizeOnDisk = base::SaturatingAdd(breakdown.sizeOnDisk, row.sizeOnDisk);
      breakdown.fileCount += row.fileCount;
      breakdown.rows.push_back(std::move(row));
    }
    std::vector<std::size_t> byRank(tallies_.size());
    for (std::size_t r = 0; r < byRank.size(); ++r) byRank[r] = r;
    const auto& rows = breakdown.rows;
    std::sort(byRank.begin(), byRank.end(), [&](std::size_t a, std::size_t b) {
      const bool logical = basis == core::SizeBasis::Logical;
      const std::uint64_t sizeA = logical ? rows[a].size : rows[a].sizeOnDisk;
      const std::uint64_t sizeB = logical ? rows[b].size : rows[b].sizeOnDisk;
      if (sizeA != sizeB) return sizeA > sizeB;
      if (rows[a].fileCount != rows[b].fileCount) return rows[a].fileCount > rows[b].fileCount;
      return tallies_[a].key < tallies_[b].key;
    });
    std::vector<FileTypeRow> sorted;
    sorted.reserve(rows.size());
    for (const std::size_t r : byRank) sorted.push_back(std::move(breakdown.rows[r]));
    breakdown.rows = std::move(sorted);
    return breakdown;
  }

 private:
  std::uint32_t TallyFor(const std::u16string& key, std::uint64_t node) {
    const auto [place, added] = index_.try_emplace(key, static_cast<std::uint32_t>(tallies_.size()));
    if (added) tallies_.push_back(TypeTally{key, node, 0, 0, 0});
    return place->second;
  }

  std::vector<TypeTally> tallies_;
  std::unordered_map<std::u16string, std::uint32_t> index_;
  std::vector<LinkedName> linked_;
  std::u16string key_;
  std::uint32_t lastTally_ = 0;
};

// The whole result in slices of the node arrays, on several threads.
std::optional<TypeTallies> TallyEveryFile(const core::ScanNodes& nodes, std::uint64_t slices,
                                          std::stop_token stop) {
  const std::uint64_t count = nodes.size();
  std::vector<TypeTallies> parts(slices);
  std::atomic<std::uint64_t> nextPart{0};
  std::atomic<bool> stopped{false};
  base::RunInSlices(count, slices, [&](std::uint64_t begin, std::uint64_t end) {
    TypeTallies& tallies = parts[nextPart.fetch_add(1)];
    for (std::uint64_t i = begin; i < end; ++i) {
      if ((i - begin) % kStopCheckInterval == 0 && stop.stop_requested()) {
        stopped = true;
        return;
      }
      if (!nodes.IsDirectory(i)) tallies.Add(nodes, i);
    }
  });
  if (stopped || stop.stop_requested()) return std::nullopt;
  for (std::size_t p = 1; p < parts.size(); ++p) parts[0].Merge(std::move(parts[p]));
  return std::move(parts[0]);
}

}  // namespace

double ShareOfType(const FileTypeBreakdown& breakdown, const FileTypeRow& row,
                   core::SizeBasis basis) {
  const bool logical = basis == core::SizeBasis::Logical;
  const std::uint64_t whole = logical ? breakdown.size : breakdown.sizeOnDisk;
  if (whole == 0) return 0.0;
  return 100.0 * static_cast<double>(logical ? row.size : row.sizeOnDisk) /
         static_cast<double>(whole);
}

std::optional<FileTypeBreakdown> BreakDownFileTypes(const core::ScanResult& result,
                                                    std::uint64_t below, core::SizeBasis basis,
                                                    std::stop_token stop) {
  const core::ScanNodes& nodes = result.nodes;
  if (below == core::kNoNode || below == result.rootIndex) {
    return BreakDownEveryFileInSlices(result, basis, SlicesForNodes(nodes.size()), std::move(stop));
  }
  TypeTallies tallies;
  if (!VisitFilesBelow(result, below, std::move(stop),
                       [&](std::uint64_t i) { tallies.Add(nodes, i); })) {
    return std::nullopt;
  }
  return tallies.Finish(nodes, basis);
}

std::optional<FileTypeBreakdown> BreakDownEveryFileInSlices(const core::ScanResult& result,
                                                            core::SizeBasis basis,
                                                            std::uint64_t slices,
                                                            std::stop_token stop) {
  std::optional<TypeTallies> tallies =
      TallyEveryFile(result.nodes, std::max<std::uint64_t>(slices, 1), std::move(stop));
  if (!tallies) return std::nullopt;
  return tallies->Finish(result.nodes, basis);
}

std::optional<FileMatches> LargestFilesOfType(const core::ScanResult& result, std::uint64_t below,
                                              std::u16string_view extension,
                                              core::SizeBasis basis, std::uint64_t limit,
                                              std::stop_token stop) {
  std::u16string wanted;
  if (!extension.empty()) {
    WithFoldedName(extension, [&](const auto& name) { AppendTypeKey(name, wanted); });
  }
  const core::ScanNodes& nodes = result.nodes;
  return CollectLargestFiles(result, below, basis, limit, std::move(stop), [&](std::uint64_t i) {
    return WithFoldedName(nodes.Name(i),
                          [&](const auto& name) { return HasTypeKey(name, wanted); });
  });
}

}  // namespace ombrix::app
