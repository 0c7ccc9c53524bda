// The compact node store against a plain model of the same tree: random
// trees built as the engines build them (names of every kind, folders
// filled in turns as several workers fill them, blank nodes filled out of
// order), then every node's fields, children, totals and path compared.
#include "core/scan_nodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/checked_math.h"
#include "base/text_encoding.h"
#include "core/scan_paths.h"

namespace ombrix::core {
namespace {

struct PlainNode {
  std::uint64_t parent = kNoNode;
  bool folder = false;
  std::u16string name;
  std::u16string path;
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
  std::uint64_t time = 0;
  std::vector<std::uint64_t> children;
  std::uint64_t onDisk = 0;
  std::uint64_t group = kNoNode;  // the names of one file share it
  std::uint32_t linkCount = 0;
  std::uint64_t own = 0;  // a folder's own entry
  std::uint64_t ownOnDisk = 0;
};

std::u16string RandomName(std::mt19937_64& rng) {
  static const char16_t kUnits[] = {u'a', u'Z', u'.', u' ', 0xE9, 0xFF, 0x100, 0x4E2D,
                                    0xD800, 0xDC00, 0xFFFF, u'\\', 0x7F, 0x80};
  std::u16string name(rng() % 3 == 0 ? rng() % 200 : rng() % 12, u'x');
  for (char16_t& unit : name) {
    unit = rng() % 4 == 0 ? kUnits[rng() % std::size(kUnits)] : char16_t(u'a' + rng() % 26);
  }
  return name;
}

// A tree built in the store and in the plain model side by side. Folders
// are listed in turns of a few entries, so a folder's children are not
// consecutive (as with several directory-query workers).
struct TwinTree {
  ScanNodes nodes;
  std::vector<PlainNode> plain;

  explicit TwinTree(std::u16string rootPath) {
    nodes.AddRoot(LeafName(rootPath), rootPath, kAttributeDirectory, 7);
    plain.push_back({kNoNode, true, LeafName(rootPath), rootPath, kAttributeDirectory, 0, 7, {}});
  }
  void Add(std::uint64_t parent, bool folder, const std::u16string& name, std::uint64_t size,
           std::uint32_t attributes, std::uint64_t time, std::uint64_t onDisk) {
    const std::uint64_t index = folder ? nodes.AddFolder(parent, name, attributes, time)
                                       : nodes.AddFile(parent, name, attributes, size, time, onDisk);
    ASSERT_EQ(index, plain.size());
    plain.push_back({parent, folder, name, JoinPath(plain[parent].path, name), attributes,
                     folder ? 0 : size, time, {}, folder ? 0 : onDisk});
    plain[parent].children.push_back(index);
  }
  void SetOwnSize(std::uint64_t folder, std::uint64_t size, std::uint64_t onDisk) {
    nodes.SetFolderOwnSize(folder, size, onDisk);
    plain[folder].own = size;
    plain[folder].ownOnDisk = onDisk;
  }
  // Makes some files names of one file.
  void Link(std::vector<std::uint64_t> files, std::uint32_t linkCount) {
    for (const std::uint64_t f : files) {
      plain[f].group = files.front();
      plain[f].linkCount = std::max<std::uint32_t>(linkCount, files.size());
    }
    nodes.LinkNames(files, linkCount);
  }
};

TwinTree RandomTree(std::mt19937_64& rng, std::uint64_t count) {
  static const std::u16string kRoots[] = {u"C:\\", u"D:\\Data", u"", u"\\\\server\\share",
                                          u"x/"};
  TwinTree tree(kRoots[rng() % std::size(kRoots)]);
  std::vector<std::uint64_t> folders{0};
  while (tree.plain.size() < count) {
    const std::uint64_t parent = folders[rng() % folders.size()];
    for (std::uint64_t turn = 1 + rng() % 4; turn > 0; --turn) {
      const bool folder = rng() % 4 == 0;
      // Sizes up to 2^64 - 1: totals must saturate, not wrap.
      const std::uint64_t size = rng() % 50 == 0 ? ~std::uint64_t{0} - rng() % 3 : rng() % 5000;
      tree.Add(parent, folder, RandomName(rng), size, static_cast<std::uint32_t>(rng()),
               rng(), rng() % 50 == 0 ? ~std::uint64_t{0} - rng() % 3 : rng() % 8192);
      if (folder) folders.push_back(tree.plain.size() - 1);
    }
  }
  return tree;
}

// Groups of two or three names of one file, anywhere in the tree; some
// files have names the tree does not hold (a link count above the names).
void LinkSomeFiles(TwinTree& tree, std::mt19937_64& rng) {
  std::vector<std::uint64_t> files;
  for (std::uint64_t i = 0; i < tree.plain.size(); ++i) {
    if (!tree.plain[i].folder && rng() % 3 == 0) files.push_back(i);
  }
  std::shuffle(files.begin(), files.end(), rng);
  while (files.size() >= 3) {
    const std::size_t take = 1 + rng() % 3;
    std::vector<std::uint64_t> group(files.end() - take, files.end());
    files.resize(files.size() - take);
    tree.Link(group, rng() % 4 == 0 ? 5 : 0);
  }
}

// A folder's size on disk as the rules say it: every file below counted
// once, whatever number of its names lie there (a file's bytes: the most
// any of its names reports).
std::uint64_t PlainOnDisk(const std::vector<PlainNode>& plain, std::uint64_t folder) {
  std::map<std::uint64_t, std::uint64_t> fileBytes;
  for (std::uint64_t i = 0; i < plain.size(); ++i) {
    if (plain[i].folder) continue;
    const std::uint64_t file = plain[i].group != kNoNode ? plain[i].group : i;
    fileBytes[file] = std::max(fileBytes[file], plain[i].onDisk);
  }
  std::set<std::uint64_t> counted;
  std::uint64_t total = 0;
  for (std::uint64_t i = 0; i < plain.size(); ++i) {
    if (plain[i].folder) {
      std::uint64_t above = i;
      while (above != kNoNode && above != folder) above = plain[above].parent;
      if (above == folder) total = base::SaturatingAdd(total, plain[i].ownOnDisk);
      continue;
    }
    std::uint64_t above = plain[i].parent;
    while (above != kNoNode && above != folder) above = plain[above].parent;
    if (above != folder) continue;
    const std::uint64_t file = plain[i].group != kNoNode ? plain[i].group : i;
    if (counted.insert(file).second) total = base::SaturatingAdd(total, fileBytes[file]);
  }
  return total;
}

void TotalPlain(std::vector<PlainNode>& plain, std::vector<std::uint64_t>& files,
                std::vector<std::uint64_t>& folders, std::vector<std::uint64_t>& direct) {
  files.assign(plain.size(), 0);
  folders.assign(plain.size(), 0);
  direct.assign(plain.size(), 0);
  for (std::uint64_t i = 0; i < plain.size(); ++i) {
    if (plain[i].folder) plain[i].onDisk = PlainOnDisk(plain, i);
  }
  for (std::uint64_t i = plain.size(); i-- > 0;) {
    if (!plain[i].folder) continue;
    std::uint64_t total = plain[i].own;
    for (const std::uint64_t c : plain[i].children) {
      total = base::SaturatingAdd(total, plain[c].size);
      if (plain[c].folder) {
        files[i] += files[c];
        folders[i] += folders[c] + 1;
      } else {
        files[i] += 1;
        direct[i] = base::SaturatingAdd(direct[i], plain[c].size);
      }
    }
    plain[i].size = total;
  }
}

void ExpectSame(const ScanNodes& nodes, std::vector<PlainNode> plain, const std::string& what) {
  std::vector<std::uint64_t> files, folders, direct;
  TotalPlain(plain, files, folders, direct);
  ASSERT_EQ(nodes.size(), plain.size()) << what;
  PathMaker paths(nodes);
  for (std::uint64_t i = 0; i < plain.size(); ++i) {
    const ScanNode node = nodes[i];
    const PlainNode& want = plain[i];
    SCOPED_TRACE(what + " node " + std::to_string(i));
    ASSERT_EQ(node.Parent(), want.parent);
    EXPECT_EQ(node.IsDirectory(), want.folder);
    EXPECT_EQ(node.Name().ToString(), want.name);
    EXPECT_EQ(node.Name(), want.name);
    EXPECT_EQ(node.Path(), want.path);
    EXPECT_EQ(paths.PathOf(i), want.path);
    EXPECT_EQ(node.Attributes(), want.attributes);
    EXPECT_EQ(node.LastWriteTime(), want.time);
    EXPECT_EQ(node.TotalSize(), want.size);
    EXPECT_EQ(node.OwnSize(), want.folder ? want.own : want.size);
    EXPECT_EQ(node.FileCount(), files[i]);
    EXPECT_EQ(node.FolderCount(), folders[i]);
    EXPECT_EQ(node.DirectFilesSize(), direct[i]);
    EXPECT_EQ(node.SizeOnDisk(), want.onDisk);
    EXPECT_EQ(node.LinkCount(), want.linkCount);
    const auto children = node.Children();
    EXPECT_EQ(std::vector<std::uint64_t>(children.begin(), children.end()), want.children);
  }
}

TEST(ScanNodesTest, RandomTreesKeepEveryFieldNamePathAndTotal) {
  std::mt19937_64 rng(9);
  for (int round = 0; round < 40; ++round) {
    TwinTree tree = RandomTree(rng, 1 + rng() % 400);
    if (round % 2 == 1) LinkSomeFiles(tree, rng);
    // Folders with an entry of their own, as a Linux volume's saved scan has.
    for (std::uint64_t i = 0; round % 3 == 2 && i < tree.plain.size(); ++i) {
      if (tree.plain[i].folder) tree.SetOwnSize(i, 4096, rng() % 2 ? 4096 : 0);
    }
    tree.nodes.ComputeTotals();
    tree.nodes.LinkChildren();
    ExpectSame(tree.nodes, tree.plain, "round " + std::to_string(round));
  }
}

// An engine that plans the tree first appends blank nodes and fills them
// on several threads in any order; the outcome is the same as adding them.
TEST(ScanNodesTest, BlankNodesFilledInAnyOrderEqualAddedOnes) {
  std::mt19937_64 rng(11);
  for (int round = 0; round < 20; ++round) {
    const TwinTree tree = RandomTree(rng, 2 + rng() % 300);
    ScanNodes filled;
    filled.AddRoot(tree.plain[0].name, tree.plain[0].path, kAttributeDirectory, 7);
    NameArena names;
    std::vector<std::uint64_t> offsets;
    std::uint64_t folderCount = 0;
    for (std::uint64_t i = 1; i < tree.plain.size(); ++i) {
      offsets.push_back(names.Append(tree.plain[i].name));
      folderCount += tree.plain[i].folder ? 1 : 0;
    }
    const std::uint64_t shift = filled.AdoptNames(std::move(names));
    const auto [first, firstSlot] = filled.AppendBlank(tree.plain.size() - 1, folderCount);
    ASSERT_EQ(first, 1u);
    std::vector<std::uint64_t> slots(tree.plain.size());
    std::uint64_t slot = firstSlot;
    for (std::uint64_t i = 1; i < tree.plain.size(); ++i) {
      if (tree.plain[i].folder) slots[i] = slot++;
    }
    std::vector<std::uint64_t> order(tree.plain.size() - 1);
    for (std::uint64_t i = 0; i < order.size(); ++i) order[i] = i + 1;
    std::shuffle(order.begin(), order.end(), rng);
    for (const std::uint64_t i : order) {
      const PlainNode& p = tree.plain[i];
      if (p.folder) {
        filled.SetFolder(i, slots[i], p.parent, offsets[i - 1] + shift, p.attributes, p.time);
      } else {
        filled.SetFile(i, p.parent, offsets[i - 1] + shift, p.attributes, p.size, p.time,
                       p.onDisk);
      }
    }
    filled.ComputeTotals();
    filled.LinkChildren();
    ExpectSame(filled, tree.plain, "round " + std::to_string(round));
  }
}

// Merging: each part's nodes behind the merged ones, its root hung under
// the label, every name and path as in the part.
TEST(ScanNodesTest, AppendedPartsKeepTheirNamesPathsAndTotals) {
  std::mt19937_64 rng(12);
  ScanNodes merged;
  merged.AddRoot(u"All local drives", u"All local drives", kAttributeDirectory, 0);
  std::vector<PlainNode> plain = {
      {kNoNode, true, u"All local drives", u"All local drives", kAttributeDirectory, 0, 0, {}}};
  for (int part = 0; part < 3; ++part) {
    TwinTree tree = RandomTree(rng, 1 + rng() % 200);
    LinkSomeFiles(tree, rng);
    tree.nodes.ComputeTotals();
    const std::uint64_t offset = plain.size();
    merged.Append(std::move(tree.nodes), 0);
    plain[0].children.push_back(offset);
    for (PlainNode p : tree.plain) {
      p.parent = p.parent == kNoNode ? 0 : p.parent + offset;
      for (std::uint64_t& c : p.children) c += offset;
      if (p.group != kNoNode) p.group += offset;
      plain.push_back(p);
    }
  }
  merged.ComputeTotals();
  ExpectSame(merged, plain, "merged");
}

// One byte a unit for names below U+0100, two otherwise; never a lost unit.
TEST(NodeNameTest, EncodingKeepsEveryUnitAndOrdersAsUtf16) {
  struct Case {
    std::u16string name;
    std::size_t encodedLength;
  };
  const Case cases[] = {
      {u"", 1},
      {u"readme.txt", 11},
      {u"\u00E9t\u00E9\u00FF", 5},                            // Latin-1 stays narrow
      {u"\u0100", 3},                                          // the first wide unit
      {std::u16string(1, char16_t(0xD800)) + u"x", 5},         // an unpaired surrogate
      {std::u16string(63, u'a'), 64},                          // a one-byte header
      {std::u16string(64, u'a'), 66},                          // two bytes from 64 units
      {std::u16string(9000, u'a'), 9003},                      // three from 8192
  };
  NameArena arena;
  std::vector<std::uint64_t> offsets;
  for (const Case& c : cases) {
    EXPECT_EQ(EncodedNameLength(c.name), c.encodedLength) << c.name.size();
    offsets.push_back(arena.Append(c.name));
  }
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const NodeName name = arena.At(offsets[i]);
    EXPECT_EQ(name.ToString(), cases[i].name) << i;
    EXPECT_EQ(name.EncodedLength(), cases[i].encodedLength) << i;
    // The same name as a record holds it, little-endian bytes.
    std::vector<std::uint8_t> bytes;
    for (const char16_t unit : cases[i].name) {
      bytes.push_back(static_cast<std::uint8_t>(unit));
      bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    const NodeName fromRecord = arena.At(arena.AppendUtf16Le(bytes.data(), cases[i].name.size()));
    EXPECT_EQ(fromRecord, cases[i].name) << i;
    EXPECT_EQ(fromRecord.EncodedLength(), cases[i].encodedLength) << i;
    for (std::size_t j = 0; j < std::size(cases); ++j) {
      const int want = cases[i].name < cases[j].name ? -1 : (cases[j].name < cases[i].name);
      EXPECT_EQ(name.Compare(arena.At(offsets[j])), want) << i << " " << j;
      EXPECT_EQ(name.Compare(cases[j].name), want) << i << " " << j;
    }
  }
}

// Names never straddle blocks, and a rollback forgets exactly what came
// after its mark, also across blocks.
TEST(NameArenaTest, BlocksAdoptionAndRollBack) {
  NameArena arena;
  std::vector<std::pair<std::uint64_t, std::u16string>> stored;
  for (int i = 0; i < 20000; ++i) {
    std::u16string name(1 + i % 300, char16_t(i % 2 ? u'a' + i % 26 : 0x400 + i % 50));
    stored.emplace_back(arena.Append(name), name);
  }
  EXPECT_GT(stored.back().first >> NameArena::kPositionBits, 3u);  // several blocks
  for (const auto& [offset, name] : stored) EXPECT_EQ(arena.At(offset), name);

  NameArena other;
  const std::uint64_t inOther = other.Append(u"other's");
  const std::uint64_t shift = arena.Adopt(std::move(other));
  EXPECT_EQ(arena.At(inOther + shift), u"other's");
  EXPECT_EQ(arena.At(stored.front().first), stored.front().second);

  const std::uint64_t used = arena.UsedBytes();
  const NameArena::Mark mark = arena.Position();
  for (int i = 0; i < 5000; ++i) arena.Append(std::u16string(200, u'z'));
  arena.RollBack(mark);
  EXPECT_EQ(arena.UsedBytes(), used);
  const std::uint64_t after = arena.Append(u"after");
  EXPECT_EQ(arena.At(after), u"after");
  EXPECT_EQ(arena.At(inOther + shift), u"other's");

  arena.Clear();
  EXPECT_EQ(arena.UsedBytes(), 0u);
  EXPECT_EQ(arena.At(arena.Append(u"again")), u"again");
}

}  // namespace
}  // namespace ombrix::core
