#include "app/compare/scan_comparison.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/scan_tree_builder.h"

namespace ombrix::app {
namespace {

// A tree under C:\Data from "folder\\" and "file=size" entries, parents first.
core::ScanResult Tree(const std::vector<std::pair<std::u16string, std::uint64_t>>& entries) {
  core::ScanTreeBuilder builder;
  std::map<std::u16string, std::uint64_t> folders;
  folders[u""] = builder.AddRoot(u"Data", u"C:\\Data", 0x10, 0);
  for (const auto& [path, size] : entries) {
    const bool folder = path.back() == u'\\';
    const std::u16string clean = folder ? path.substr(0, path.size() - 1) : path;
    const std::size_t cut = clean.rfind(u'\\');
    const std::u16string parent = cut == std::u16string::npos ? u"" : clean.substr(0, cut);
    const std::u16string name = cut == std::u16string::npos ? clean : clean.substr(cut + 1);
    if (folder) {
      folders[clean] = builder.AddDirectory(folders.at(parent), name, 0x10, 0);
    } else {
      builder.AddFile(folders.at(parent), name, 0x20, size, 0);
    }
  }
  builder.ComputeTotals();
  return builder.BuildResult(core::ScanStatus::Completed, u"C:\\Data", 0);
}

std::uint64_t Find(const core::ScanResult& result, std::u16string_view path) {
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (result.nodes.Path(i) == path) return i;
  }
  ADD_FAILURE() << "no node";
  return 0;
}

TEST(ScanComparisonTest, EveryChangeIsExactAndMatchedIgnoringCase) {
  const core::ScanResult earlier = Tree({{u"docs\\", 0},
                                         {u"docs\\grows.txt", 100},
                                         {u"docs\\shrinks.txt", 500},
                                         {u"docs\\same.txt", 7},
                                         {u"docs\\gone.txt", 40},
                                         {u"old\\", 0},
                                         {u"old\\a", 10},
                                         {u"old\\deep\\", 0},
                                         {u"old\\deep\\b", 20},
                                         {u"Photos\\", 0},
                                         {u"Photos\\x.jpg", 1000},
                                         {u"was-a-file", 3}});
  const core::ScanResult later = Tree({{u"docs\\", 0},
                                       {u"docs\\grows.txt", 160},
                                       {u"docs\\shrinks.txt", 200},
                                       {u"docs\\same.txt", 7},
                                       {u"docs\\new.txt", 9},
                                       {u"PHOTOS\\", 0},
                                       {u"PHOTOS\\X.JPG", 1000},
                                       {u"fresh\\", 0},
                                       {u"fresh\\c", 30},
                                       {u"was-a-file\\", 0}});
  const ScanComparison comparison = CompareScans(later, earlier);
  ASSERT_EQ(comparison.changes.size(), later.nodes.size());
  const struct {
    std::u16string_view path;
    std::int64_t bytes;
    std::int64_t files;
    ChangeKind kind;
  } expected[] = {
      {u"C:\\Data", 160 + 200 + 7 + 9 + 1000 + 30 - (100 + 500 + 7 + 40 + 10 + 20 + 1000 + 3),
       6 - 8, ChangeKind::Changed},
      {u"C:\\Data\\docs", 60 - 300 + 9 - 40, 0, ChangeKind::Changed},
      {u"C:\\Data\\docs\\grows.txt", 60, 0, ChangeKind::Changed},
      {u"C:\\Data\\docs\\shrinks.txt", -300, 0, ChangeKind::Changed},
      {u"C:\\Data\\docs\\same.txt", 0, 0, ChangeKind::Unchanged},
      {u"C:\\Data\\docs\\new.txt", 9, 1, ChangeKind::Added},
      {u"C:\\Data\\PHOTOS", 0, 0, ChangeKind::Unchanged},
      {u"C:\\Data\\PHOTOS\\X.JPG", 0, 0, ChangeKind::Unchanged},
      {u"C:\\Data\\fresh", 30, 1, ChangeKind::Added},
      {u"C:\\Data\\fresh\\c", 30, 1, ChangeKind::Added},
      {u"C:\\Data\\was-a-file", 0, 0, ChangeKind::Added},
  };
  for (const auto& e : expected) {
    const NodeChange& change = comparison.changes[Find(later, e.path)];
    const std::string where(e.path.begin(), e.path.end());
    EXPECT_EQ(change.bytes, e.bytes) << where;
    EXPECT_EQ(change.files, e.files) << where;
    EXPECT_EQ(change.kind, e.kind) << where;
  }
  // Gone: a file, a folder with what it held (listed once), and a file
  // whose name is now a folder's.
  std::map<std::u16string, std::pair<std::uint64_t, std::uint64_t>> deleted;
  for (const DeletedNode& gone : comparison.deleted) {
    deleted[gone.path] = {gone.bytes, gone.files};
    EXPECT_TRUE(later.nodes.IsDirectory(gone.parent));
  }
  const std::map<std::u16string, std::pair<std::uint64_t, std::uint64_t>> expectedDeleted = {
      {u"C:\\Data\\docs\\gone.txt", {40, 1}},
      {u"C:\\Data\\old", {30, 2}},
      {u"C:\\Data\\was-a-file", {3, 1}}};
  EXPECT_EQ(deleted, expectedDeleted);
}

TEST(ScanComparisonTest, NamesDifferingOnlyInCaseMatchTheirExactTwin) {
  // A Linux tree (read from an export) may hold both.
  const core::ScanResult earlier = Tree({{u"Readme", 1}, {u"README", 2}});
  const core::ScanResult later = Tree({{u"README", 20}, {u"Readme", 10}});
  const ScanComparison comparison = CompareScans(later, earlier);
  EXPECT_EQ(comparison.changes[Find(later, u"C:\\Data\\Readme")].bytes, 9);
  EXPECT_EQ(comparison.changes[Find(later, u"C:\\Data\\README")].bytes, 18);
  EXPECT_TRUE(comparison.deleted.empty());
}

TEST(ScanComparisonTest, WithoutAnEarlierTreeEverythingIsNew) {
  core::ScanResult failed;
  failed.status = core::ScanStatus::Failed;
  const core::ScanResult later = Tree({{u"a", 5}});
  const ScanComparison comparison = CompareScans(later, failed);
  for (const NodeChange& change : comparison.changes) EXPECT_EQ(change.kind, ChangeKind::Added);
  EXPECT_EQ(comparison.changes[later.rootIndex].bytes, 5);
}

}  // namespace
}  // namespace ombrix::app
