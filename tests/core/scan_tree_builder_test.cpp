#include "core/scan_tree_builder.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

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
  const auto root = builder.AddRoot(u"", u"C:\\", 0x16, 99);
  builder.ComputeTotals();
  ScanResult result = builder.BuildResult(ScanStatus::Completed, u"C:\\", 0);
  ASSERT_EQ(result.rootIndex, root);
  EXPECT_EQ(result.nodes[root].Parent(), kNoNode);
  EXPECT_EQ(result.nodes[root].LastWriteTime(), 99u);
  EXPECT_EQ(result.folderCount, 1u);  // the root counts itself
}

// Three files claiming 2^63 - 1 bytes each would wrap a 64-bit total around
// to a small number; it stops at the largest value instead.
TEST(ScanTreeBuilderTest, TotalsSaturateInsteadOfWrapping) {
  constexpr std::uint64_t kHuge = std::numeric_limits<std::int64_t>::max();
  ScanTreeBuilder builder;
  const auto root = builder.AddRoot(u"", u"C:\\", 0x10, 0);
  const auto folder = builder.AddDirectory(root, u"f", 0x10, 0);
  for (int i = 0; i < 3; ++i) builder.AddFile(folder, u"x", 0x20, kHuge, 0);
  builder.AddFile(root, u"y", 0x20, 5, 0);
  builder.ComputeTotals();
  EXPECT_EQ(builder.nodes[folder].TotalSize(), ~std::uint64_t{0});
  EXPECT_EQ(builder.nodes[folder].DirectFilesSize(), ~std::uint64_t{0});
  EXPECT_EQ(builder.nodes[root].TotalSize(), ~std::uint64_t{0});
  EXPECT_EQ(builder.nodes[root].FileCount(), 4u);
}

// A parent must be a folder added before its child: anything else would
// break the order totals and paths rely on, and is refused.
TEST(ScanTreeBuilderTest, ParentMustBeAFolderAlreadyAdded) {
  ScanTreeBuilder builder;
  const auto root = builder.AddRoot(u"", u"C:\\", 0x10, 0);
  const auto file = builder.AddFile(root, u"a", 0x20, 1, 0);
  EXPECT_THROW(builder.AddFile(file, u"b", 0x20, 1, 0), std::out_of_range);
  EXPECT_THROW(builder.AddDirectory(root + 5, u"c", 0x10, 0), std::out_of_range);
  EXPECT_THROW(builder.AddDirectory(kNoNode, u"d", 0x10, 0), std::out_of_range);
  EXPECT_EQ(builder.nodes.size(), 2u);
}

// Files of one identity are names of one file: their clusters count once
// in every folder above them, while the logical totals count each name.
TEST(ScanTreeBuilderTest, NamesOfOneFileCountOnceOnDisk) {
  ScanTreeBuilder builder;
  const auto root = builder.AddRoot(u"", u"C:\\", 0x10, 0);
  const auto a = builder.AddDirectory(root, u"a", 0x10, 0);
  const auto b = builder.AddDirectory(root, u"b", 0x10, 0);
  const auto linkA = builder.AddFile(a, u"link", 0x20, 1000, 0, 4096);
  const auto linkB = builder.AddFile(b, u"link", 0x20, 1000, 0, 4096);
  const auto alone = builder.AddFile(b, u"alone", 0x20, 10, 0, 4096);
  const auto elsewhere = builder.AddFile(a, u"other name elsewhere", 0x20, 5, 0, 4096);
  builder.SetFileIdentity(linkA, 77, 0);
  builder.SetFileIdentity(alone, 78, 0);  // one name, nothing else known: no group
  builder.SetFileIdentity(linkB, 77, 0);
  builder.SetFileIdentity(elsewhere, 79, 2);  // its other name is outside the scan
  builder.ComputeTotals();
  const ScanNodes& nodes = builder.nodes;
  EXPECT_EQ(nodes.TotalSize(root), 2015u);
  EXPECT_EQ(nodes.SizeOnDisk(root), 3u * 4096);
  EXPECT_EQ(nodes.SizeOnDisk(a), 2u * 4096);
  EXPECT_EQ(nodes.SizeOnDisk(b), 2u * 4096);
  EXPECT_EQ(nodes.LinkCount(linkA), 2u);
  EXPECT_EQ(nodes.LinkCount(linkB), 2u);
  EXPECT_EQ(nodes.LinkCount(alone), 0u);
  EXPECT_EQ(nodes.LinkCount(elsewhere), 2u);
}

}  // namespace
}  // namespace ombrix::core
