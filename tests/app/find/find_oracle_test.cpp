// Finds and file-type breakdowns against brute force on random trees: every
// node's ancestors walked by parent links, names matched by a recursive
// wildcard matcher on whole strings, types tallied in an ordered map. The
// names mix cases, dots, spaces and units of several scripts; some files
// have unknown times, some are names of one file.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/find/file_types.h"
#include "app/find/find_files.h"
#include "base/name_case.h"
#include "core/scan_tree_builder.h"

namespace ombrix::app {
namespace {

const std::u16string kNamePieces[] = {u"a",  u"B",  u"x",      u"\u00E9", u"\u00C9", u"\u0436",
                                      u"\u0416", u" ", u".",  u"\u00FF", u"\u0178", u"iso",
                                      u"ISO", u"Iso", u"img", u"\u4E2D"};
const std::u16string kPatternPieces[] = {u"*", u"?", u".",      u"a",       u"b",  u"iso",
                                         u"\u00E9", u"\u0416", u"\u0178", u" ",  u";"};

std::u16string RandomText(std::mt19937_64& rng, const std::u16string* pieces, std::size_t count,
                          std::size_t maxPieces) {
  std::u16string text;
  const std::size_t length = rng() % (maxPieces + 1);
  for (std::size_t i = 0; i < length; ++i) text += pieces[rng() % count];
  return text;
}

std::u16string Folded(std::u16string_view text) {
  std::u16string folded;
  for (const char16_t unit : text) folded.push_back(base::FoldNameUnit(unit));
  return folded;
}

// Classic recursive wildcard match on folded strings.
bool GlobMatches(std::u16string_view pattern, std::u16string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == u'*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (GlobMatches(pattern.substr(1), name.substr(skip))) return true;
    }
    return false;
  }
  if (name.empty()) return false;
  if (pattern[0] != u'?' && pattern[0] != name[0]) return false;
  return GlobMatches(pattern.substr(1), name.substr(1));
}

bool OracleNameMatches(const std::u16string& patternText, const std::u16string& name) {
  bool anyAlternative = false;
  std::size_t start = 0;
  while (start <= patternText.size()) {
    std::size_t end = patternText.find(u';', start);
    if (end == std::u16string::npos) end = patternText.size();
    std::u16string part = patternText.substr(start, end - start);
    while (!part.empty() && part.front() == u' ') part.erase(0, 1);
    while (!part.empty() && part.back() == u' ') part.pop_back();
    start = end + 1;
    if (part.empty()) continue;
    anyAlternative = true;
    if (part.find_first_of(u"*?") == std::u16string::npos) part = u"*" + part + u"*";
    if (part == u"*.*") part = u"*";
    if (GlobMatches(Folded(part), Folded(name))) return true;
  }
  return !anyAlternative;
}

std::u16string OracleExtension(const std::u16string& name) {
  const std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string::npos || dot + 1 == name.size()) return {};
  if (name.find(u' ', dot) != std::u16string::npos) return {};
  return name.substr(dot);
}

struct RandomTree {
  core::ScanResult result;
  std::vector<std::u16string> names;
};

RandomTree MakeRandomTree(std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  core::ScanTreeBuilder builder;
  RandomTree tree;
  const std::uint64_t root = builder.AddRoot(u"R", u"X:\\R", 0x10, 0);
  tree.names.push_back(u"R");
  std::vector<std::uint64_t> folders{root};
  const std::uint64_t nodeCount = 50 + rng() % 400;
  for (std::uint64_t n = 0; n < nodeCount; ++n) {
    const std::uint64_t parent = folders[rng() % folders.size()];
    std::u16string name = RandomText(rng, kNamePieces, std::size(kNamePieces), 6);
    if (name.empty()) name = u"n";
    tree.names.push_back(name);
    if (rng() % 5 == 0) {
      folders.push_back(builder.AddDirectory(parent, name, 0x10, rng() % 3));
      continue;
    }
    // Sizes often equal, so ties are ranked too; some times unknown.
    const std::uint64_t size = (rng() % 4 == 0) ? 4096 : rng() % 100000;
    const std::uint64_t onDisk = rng() % 2 == 0 ? size : (size + 4095) / 4096 * 4096;
    const std::uint64_t time = rng() % 4 == 0 ? 0 : 1 + rng() % 1000;
    const std::uint64_t file = builder.AddFile(parent, name, 0x20, size, time, onDisk);
    // Now and then a second name of the same file, in any folder, of the
    // same or another type: its clusters count once per type.
    if (rng() % 8 == 0) {
      std::u16string link = RandomText(rng, kNamePieces, std::size(kNamePieces), 6) + u"L";
      tree.names.push_back(link);
      const std::uint64_t other =
          builder.AddFile(folders[rng() % folders.size()], link, 0x20, size, time, onDisk);
      builder.SetFileIdentity(file, file, 2);
      builder.SetFileIdentity(other, file, 2);
      ++n;
    }
  }
  builder.ComputeTotals();
  tree.result = builder.BuildResult(core::ScanStatus::Completed, u"X:\\R", 0);
  return tree;
}

bool IsBelow(const core::ScanNodes& nodes, std::uint64_t node, std::uint64_t ancestor) {
  for (std::uint64_t at = node; at != core::kNoNode; at = nodes.Parent(at)) {
    if (at == ancestor) return true;
  }
  return false;
}

std::vector<std::uint64_t> OracleFiles(const RandomTree& tree, std::uint64_t below) {
  std::vector<std::uint64_t> files;
  const core::ScanNodes& nodes = tree.result.nodes;
  for (std::uint64_t i = 0; i < nodes.size(); ++i) {
    if (!nodes.IsDirectory(i) && IsBelow(nodes, i, below)) files.push_back(i);
  }
  return files;
}

std::vector<std::uint32_t> OracleLargest(const core::ScanNodes& nodes,
                                         std::vector<std::uint64_t> matches,
                                         core::SizeBasis basis, std::uint64_t limit) {
  std::sort(matches.begin(), matches.end(), [&](std::uint64_t a, std::uint64_t b) {
    const auto sa = nodes.RankingSize(a, basis);
    const auto sb = nodes.RankingSize(b, basis);
    return sa != sb ? sa > sb : a < b;
  });
  if (matches.size() > limit) matches.resize(limit);
  return std::vector<std::uint32_t>(matches.begin(), matches.end());
}

std::vector<std::uint64_t> FoldersOf(const core::ScanNodes& nodes) {
  std::vector<std::uint64_t> folders;
  for (std::uint64_t i = 0; i < nodes.size(); ++i) {
    if (nodes.IsDirectory(i)) folders.push_back(i);
  }
  return folders;
}

}  // namespace

void PrintTo(const FileTypeRow& row, std::ostream* out) {
  *out << "{";
  for (const char16_t unit : row.extension) *out << "\\u" << std::hex << int(unit) << std::dec;
  *out << " size " << row.size << " onDisk " << row.sizeOnDisk << " files " << row.fileCount
       << "}";
}

namespace {

constexpr core::SizeBasis kBases[] = {core::SizeBasis::Logical, core::SizeBasis::OnDisk};

TEST(FindOracleTest, FindsMatchBruteForceOnRandomTrees) {
  std::mt19937_64 rng(2024);
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    const RandomTree tree = MakeRandomTree(seed);
    const core::ScanNodes& nodes = tree.result.nodes;
    const std::vector<std::uint64_t> folders = FoldersOf(nodes);
    for (int query = 0; query < 25; ++query) {
      const std::u16string patternText =
          RandomText(rng, kPatternPieces, std::size(kPatternPieces), 5);
      FindCriteria criteria;
      criteria.pattern = NamePattern::Parse(patternText);
      criteria.minimumSize = rng() % 3 == 0 ? rng() % 100000 : 0;
      if (rng() % 3 == 0) criteria.writtenBefore = 1 + rng() % 1000;
      const std::uint64_t below = folders[rng() % folders.size()];
      const std::uint64_t limit = rng() % 2 == 0 ? 30 : rng() % 5;
      for (const core::SizeBasis basis : kBases) {
        std::vector<std::uint64_t> expected;
        std::uint64_t expectedSize = 0;
        for (const std::uint64_t file : OracleFiles(tree, below)) {
          const std::uint64_t time = nodes.LastWriteTime(file);
          if (nodes.RankingSize(file, basis) < criteria.minimumSize) continue;
          if (criteria.writtenBefore && (time == 0 || time >= *criteria.writtenBefore)) continue;
          if (!OracleNameMatches(patternText, tree.names[file])) continue;
          expected.push_back(file);
          expectedSize += nodes.RankingSize(file, basis);
        }
        const auto found = FindFiles(tree.result, below, criteria, basis, limit);
        ASSERT_TRUE(found.has_value());
        const std::string context = "seed " + std::to_string(seed) + " query " +
                                    std::to_string(query) + " pattern '" +
                                    std::string(patternText.begin(), patternText.end()) + "'";
        EXPECT_EQ(found->count, expected.size()) << context;
        EXPECT_EQ(found->size, expectedSize) << context;
        EXPECT_EQ(found->largest, OracleLargest(nodes, expected, basis, limit)) << context;
      }
    }
  }
}

struct OracleType {
  std::uint64_t firstNode = ~std::uint64_t{0};
  std::uint64_t size = 0;
  std::uint64_t sizeOnDisk = 0;
  std::uint64_t fileCount = 0;
  std::set<std::uint32_t> groups;
};

std::vector<FileTypeRow> OracleTypes(const RandomTree& tree, std::uint64_t below,
                                     core::SizeBasis basis) {
  const core::ScanNodes& nodes = tree.result.nodes;
  std::map<std::u16string, OracleType> types;
  for (const std::uint64_t file : OracleFiles(tree, below)) {
    const std::u16string extension = OracleExtension(tree.names[file]);
    OracleType& type = types[Folded(extension)];
    type.firstNode = std::min(type.firstNode, file);
    type.size += nodes.TotalSize(file);
    ++type.fileCount;
    if (!nodes.IsHardLinked(file) || type.groups.insert(nodes.LinkGroup(file)).second) {
      type.sizeOnDisk += nodes.SizeOnDisk(file);
    }
  }
  std::vector<std::pair<std::u16string, FileTypeRow>> rows;
  for (const auto& [key, type] : types) {
    rows.push_back({key, FileTypeRow{OracleExtension(tree.names[type.firstNode]), type.size,
                                     type.sizeOnDisk, type.fileCount}});
  }
  std::sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
    const auto sa = basis == core::SizeBasis::Logical ? a.second.size : a.second.sizeOnDisk;
    const auto sb = basis == core::SizeBasis::Logical ? b.second.size : b.second.sizeOnDisk;
    if (sa != sb) return sa > sb;
    if (a.second.fileCount != b.second.fileCount) return a.second.fileCount > b.second.fileCount;
    return a.first < b.first;
  });
  std::vector<FileTypeRow> sorted;
  for (auto& row : rows) sorted.push_back(std::move(row.second));
  return sorted;
}

TEST(FindOracleTest, FileTypesMatchBruteForceOnRandomTrees) {
  std::mt19937_64 rng(77);
  for (std::uint64_t seed = 100; seed < 160; ++seed) {
    const RandomTree tree = MakeRandomTree(seed);
    const core::ScanNodes& nodes = tree.result.nodes;
    const std::vector<std::uint64_t> folders = FoldersOf(nodes);
    // The root (the sliced pass) and a few folders (the subtree walk).
    std::vector<std::uint64_t> targets{core::kNoNode, tree.result.rootIndex};
    for (int i = 0; i < 4; ++i) targets.push_back(folders[rng() % folders.size()]);
    for (const std::uint64_t below : targets) {
      for (const core::SizeBasis basis : kBases) {
        const auto breakdown = BreakDownFileTypes(tree.result, below, basis);
        ASSERT_TRUE(breakdown.has_value());
        const std::vector<FileTypeRow> expected =
            OracleTypes(tree, below == core::kNoNode ? tree.result.rootIndex : below, basis);
        EXPECT_EQ(breakdown->rows, expected) << "seed " << seed << " below " << below;
        std::uint64_t files = 0;
        for (const FileTypeRow& row : expected) files += row.fileCount;
        EXPECT_EQ(breakdown->fileCount, files);
        if (below == core::kNoNode) {
          // Tallies of several slices merge into the same rows, the
          // spelling of each type's first file included.
          for (const std::uint64_t slices : {2, 3, 7}) {
            const auto sliced = BreakDownEveryFileInSlices(tree.result, basis, slices);
            ASSERT_TRUE(sliced.has_value());
            EXPECT_EQ(sliced->rows, expected) << "seed " << seed << " slices " << slices;
          }
        }
        // Each type's largest files are the find of its extension.
        const std::uint64_t from = below == core::kNoNode ? tree.result.rootIndex : below;
        for (const FileTypeRow& row : expected) {
          std::vector<std::uint64_t> ofType;
          for (const std::uint64_t file : OracleFiles(tree, from)) {
            if (Folded(OracleExtension(tree.names[file])) == Folded(row.extension)) {
              ofType.push_back(file);
            }
          }
          const auto largest = LargestFilesOfType(tree.result, below, row.extension, basis, 3);
          ASSERT_TRUE(largest.has_value());
          EXPECT_EQ(largest->count, row.fileCount);
          EXPECT_EQ(largest->largest, OracleLargest(nodes, ofType, basis, 3));
        }
      }
    }
  }
}

// A find below the root of more than half a million nodes is split into
// slices on several threads (one per 262,144 nodes, as many as the machine
// has threads): their matches must merge into the one answer.
TEST(FindOracleTest, AFindOverEveryNodeOfALargeResultMatchesBruteForce) {
  constexpr std::uint64_t kFolders = 64;
  constexpr std::uint64_t kFilesPerFolder = 9000;
  const std::u16string extensions[] = {u".iso", u".ISO", u".txt", u""};
  core::ScanTreeBuilder builder;
  const std::uint64_t root = builder.AddRoot(u"R", u"R:\\", 0x10, 0);
  std::mt19937_64 rng(77);
  const auto numbered = [](char16_t letter, std::uint64_t number) {
    std::u16string text(1, letter);
    for (const char digit : std::to_string(number)) text.push_back(static_cast<char16_t>(digit));
    return text;
  };
  for (std::uint64_t f = 0; f < kFolders; ++f) {
    const std::uint64_t folder = builder.AddDirectory(root, numbered(u'd', f), 0x10, 0);
    for (std::uint64_t k = 0; k < kFilesPerFolder; ++k) {
      const std::u16string name = numbered(u'n', k) + extensions[rng() % std::size(extensions)];
      builder.AddFile(folder, name, 0x20, rng() % 1000000, 0, 0);
    }
  }
  builder.ComputeTotals();
  const core::ScanResult result = builder.BuildResult(core::ScanStatus::Completed, u"R:\\", 0);
  const core::ScanNodes& nodes = result.nodes;
  ASSERT_GT(nodes.size(), std::uint64_t{2} << 18);

  FindCriteria criteria;
  criteria.pattern = NamePattern::Parse(u"*.iso");
  criteria.minimumSize = 400000;
  std::vector<std::uint64_t> expected;
  std::uint64_t expectedSize = 0;
  for (std::uint64_t i = 0; i < nodes.size(); ++i) {
    if (nodes.IsDirectory(i) || nodes.OwnSize(i) < criteria.minimumSize) continue;
    const std::u16string fileName = nodes.Name(i).ToString();
    if (!fileName.ends_with(u".iso") && !fileName.ends_with(u".ISO")) continue;
    expected.push_back(i);
    expectedSize += nodes.OwnSize(i);
  }
  const auto found =
      FindFiles(result, core::kNoNode, criteria, core::SizeBasis::Logical, 100);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->count, expected.size());
  EXPECT_EQ(found->size, expectedSize);
  EXPECT_EQ(found->largest, OracleLargest(nodes, expected, core::SizeBasis::Logical, 100));
}

TEST(FindOracleTest, AStopRequestEndsWithoutAnAnswer) {
  const RandomTree tree = MakeRandomTree(5);
  std::stop_source source;
  source.request_stop();
  EXPECT_FALSE(FindFiles(tree.result, core::kNoNode, FindCriteria{}, core::SizeBasis::Logical, 30,
                         source.get_token())
                   .has_value());
  EXPECT_FALSE(BreakDownFileTypes(tree.result, core::kNoNode, core::SizeBasis::Logical,
                                  source.get_token())
                   .has_value());
}

}  // namespace
}  // namespace ombrix::app
