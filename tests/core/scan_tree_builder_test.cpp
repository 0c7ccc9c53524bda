#include "core/scan_tree_builder.h"

#include <gtest/gtest.h>

#include <limits>

namespace ombrix::core {
namespace {

TEST(ScanTreeBuilderTest, ResultWithoutTreeAndWithAnEmptyRoot) {
  ScanTreeBuilder none;
  none.ComputeTotals();
  ScanResult empty = none.BuildResult(ScanStatus::Completed, u"C:\\x", 7);
  EXPECT_EQ(empty.rootIndex, kNoNode);
  EXPECT_EQ(empty.folderCount, 0u);
  EXPECT_EQ(empty.elapsedMs, 7);

  ScanTreeBuilder builder;
  const auto root = builder.AddDirectory(kNoNode, u"", u"C:\\", 0x16, 99);
  builder.ComputeTotals();
  ScanResult result = builder.BuildResult(ScanStatus::Completed, u"C:\\", 0);
  ASSERT_EQ(result.rootIndex, root);
  EXPECT_EQ(result.nodes[root].parent, kNoNode);
  EXPECT_EQ(result.nodes[root].lastWriteTime, 99u);
  EXPECT_EQ(result.folderCount, 1u);  // the root counts itself
}

// Three files claiming 2^63 - 1 bytes each would wrap a 64-bit total around
// to a small number; it stops at the largest value instead.
TEST(ScanTreeBuilderTest, TotalsSaturateInsteadOfWrapping) {
  constexpr std::uint64_t kHuge = std::numeric_limits<std::int64_t>::max();
  ScanTreeBuilder builder;
  const auto root = builder.AddDirectory(kNoNode, u"", u"C:\\", 0x10, 0);
  const auto folder = builder.AddDirectory(root, u"f", u"C:\\f", 0x10, 0);
  for (int i = 0; i < 3; ++i) builder.AddFile(folder, u"x", u"C:\\f\\x", 0x20, kHuge, 0);
  builder.AddFile(root, u"y", u"C:\\y", 0x20, 5, 0);
  builder.ComputeTotals();
  EXPECT_EQ(builder.nodes[folder].totalSize, ~std::uint64_t{0});
  EXPECT_EQ(builder.nodes[folder].directFilesSize, ~std::uint64_t{0});
  EXPECT_EQ(builder.nodes[root].totalSize, ~std::uint64_t{0});
  EXPECT_EQ(builder.nodes[root].fileCount, 4u);
}

TEST(ScanTreeBuilderTest, ComputeTotalsIgnoresNodesNotReachableFromRoot) {
  ScanTreeBuilder builder;
  const auto root = builder.AddDirectory(kNoNode, u"", u"C:\\", 0x10, 0);
  builder.AddFile(root, u"a", u"C:\\a", 0x20, 1, 0);
  // A second parentless folder replaces the root; the first tree is left
  // as it was and never totalled.
  const auto other = builder.AddDirectory(kNoNode, u"o", u"o", 0x10, 0);
  builder.AddFile(other, u"b", u"o\\b", 0x20, 8, 0);
  builder.ComputeTotals();
  EXPECT_EQ(builder.nodes[other].totalSize, 8u);
  EXPECT_EQ(builder.nodes[root].totalSize, 0u);
}

}  // namespace
}  // namespace ombrix::core
