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

TEST(ScanTreeBuilderTest, TotalsRollUpFilesAndFolders) {
  ScanTreeBuilder builder;
  const auto a = builder.AddDirectory(kNoNode, u"A", u"X:\\A", 0x10, 0);
  const auto f10 = builder.AddFile(a, u"f10", u"X:\\A\\f10", 0x20, 10, 0);
  const auto b = builder.AddDirectory(a, u"B", u"X:\\A\\B", 0x10, 0);
  builder.AddFile(b, u"f5", u"X:\\A\\B\\f5", 0x20, 5, 0);
  builder.AddFile(a, u"f20", u"X:\\A\\f20", 0x20, 20, 0);
  builder.AddIssue(u"X:\\A\\B", 5);
  builder.ComputeTotals();
  ScanResult result = builder.BuildResult(ScanStatus::Completed, u"X:\\A", 3);

  const ScanNode& nodeA = result.nodes[a];
  EXPECT_EQ(nodeA.totalSize, 35u);
  EXPECT_EQ(nodeA.directFilesSize, 30u);
  EXPECT_EQ(nodeA.fileCount, 3u);
  EXPECT_EQ(nodeA.folderCount, 1u);
  EXPECT_EQ(nodeA.children, (std::vector<std::uint64_t>{f10, b, 4}));
  const ScanNode& nodeB = result.nodes[b];
  EXPECT_EQ(nodeB.totalSize, 5u);
  EXPECT_EQ(nodeB.directFilesSize, 5u);
  EXPECT_EQ(nodeB.folderCount, 0u);
  EXPECT_EQ(result.nodes[f10].totalSize, 10u);
  EXPECT_EQ(result.nodes[f10].fileCount, 0u);
  EXPECT_EQ(result.fileCount, 3u);
  EXPECT_EQ(result.folderCount, 2u);
  EXPECT_EQ(result.issueCount, 1u);
  EXPECT_EQ(result.issues[0].path, u"X:\\A\\B");
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

TEST(ScanTreeBuilderTest, ComputeTotalsHandlesVeryDeepTreesIteratively) {
  ScanTreeBuilder builder;
  std::uint64_t parent = builder.AddDirectory(kNoNode, u"", u"C:\\", 0x10, 0);
  constexpr int kDepth = 200000;
  for (int i = 0; i < kDepth; ++i) {
    parent = builder.AddDirectory(parent, u"d", u"d", 0x10, 0);
  }
  builder.AddFile(parent, u"f", u"f", 0x20, 42, 0);
  builder.ComputeTotals();
  EXPECT_EQ(builder.nodes[0].totalSize, 42u);
  EXPECT_EQ(builder.nodes[0].fileCount, 1u);
  EXPECT_EQ(builder.nodes[0].folderCount, static_cast<std::uint64_t>(kDepth));
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

TEST(ScanTreeBuilderTest, EngineResultTakesStatusFromTheTokenAtTheEnd) {
  for (const bool cancelled : {false, true}) {
    ScanTreeBuilder builder;
    builder.AddDirectory(kNoNode, u"d", u"X:\\d", 0x10, 0);
    ScanCancellationToken token;
    if (cancelled) token.Cancel();
    ScanResult result = builder.BuildEngineResult(token, ScanEngineKind::NtfsMft, u"X:\\d", 12);
    EXPECT_EQ(result.status, cancelled ? ScanStatus::Cancelled : ScanStatus::Completed);
    EXPECT_EQ(result.engine, ScanEngineKind::NtfsMft);
    EXPECT_EQ(result.rootPath, u"X:\\d");
    EXPECT_EQ(result.elapsedMs, 12);
    EXPECT_EQ(result.folderCount, 1u);
  }
}

}  // namespace
}  // namespace ombrix::core
