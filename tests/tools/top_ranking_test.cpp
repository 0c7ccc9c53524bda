#include "tools/ombrix_scan/top_ranking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/scan_tree_builder.h"
#include "tests/tools/scan_result_fixture.h"

namespace ombrix::scan_tool {
namespace {

std::vector<std::u16string> Paths(const core::ScanResult& result,
                                  const std::vector<std::uint64_t>& indices) {
  std::vector<std::u16string> paths;
  for (auto i : indices) paths.push_back(result.nodes[i].path);
  return paths;
}

TEST(TopRankingTest, LargestFirstTiesByPathRootExcluded) {
  const core::ScanResult result = testing::SmallTree();
  const TopEntries top = RankLargest(result, 30);
  EXPECT_EQ(
      Paths(result, top.files),
      (std::vector<std::u16string>{u"Z:\\R\\S\\c", u"Z:\\R\\b", u"Z:\\R\\a", u"Z:\\R\\S\\T\\d"}));
  EXPECT_EQ(Paths(result, top.folders), (std::vector<std::u16string>{u"Z:\\R\\S", u"Z:\\R\\S\\T"}));
}

TEST(TopRankingTest, KeepsAtMostCount) {
  const core::ScanResult result = testing::SmallTree();
  TopEntries top = RankLargest(result, 2);
  EXPECT_EQ(Paths(result, top.files), (std::vector<std::u16string>{u"Z:\\R\\S\\c", u"Z:\\R\\b"}));
  top = RankLargest(result, 1);
  EXPECT_EQ(Paths(result, top.files), std::vector<std::u16string>{u"Z:\\R\\S\\c"});
  EXPECT_EQ(Paths(result, top.folders), std::vector<std::u16string>{u"Z:\\R\\S"});
  top = RankLargest(result, 0);
  EXPECT_TRUE(top.files.empty());
  EXPECT_TRUE(top.folders.empty());
}

TEST(TopRankingTest, EmptyResultRanksNothing) {
  const core::ScanResult empty;
  const TopEntries top = RankLargest(empty, 30);
  EXPECT_TRUE(top.files.empty());
  EXPECT_TRUE(top.folders.empty());
}

// Many equal sizes, added in two different orders, against a full sort: the
// bounded selection must give exactly the head of the total order.
TEST(TopRankingTest, MatchesFullSortWhateverTheDiscoveryOrder) {
  std::vector<std::pair<std::u16string, std::uint64_t>> files;
  for (int i = 0; i < 2000; ++i) {
    files.emplace_back(u"Z:\\r\\f" + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)) +
                           std::u16string(static_cast<std::size_t>(i / 26 + 1), u'x'),
                       static_cast<std::uint64_t>(i % 17) * 100);
  }
  std::vector<std::u16string> expected;
  {
    auto sorted = files;
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
      return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    for (std::size_t i = 0; i < 50; ++i) expected.push_back(sorted[i].first);
  }
  std::mt19937 shuffle(3);
  for (int round = 0; round < 2; ++round) {
    std::shuffle(files.begin(), files.end(), shuffle);
    core::ScanTreeBuilder builder;
    const auto root = builder.AddDirectory(core::kNoNode, u"r", u"Z:\\r", 0x10, 0);
    for (const auto& [path, size] : files) builder.AddFile(root, u"", path, 0, size, 0);
    builder.ComputeTotals();
    const core::ScanResult result = builder.BuildResult(core::ScanStatus::Completed, u"Z:\\r", 0);
    EXPECT_EQ(Paths(result, RankLargest(result, 50).files), expected) << "round " << round;
  }
}

}  // namespace
}  // namespace ombrix::scan_tool
