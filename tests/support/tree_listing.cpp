#include "tests/support/tree_listing.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <unordered_map>

#include "base/text_encoding.h"
#include "core/scan_paths.h"
#include "tests/support/finding_list.h"
#include "tests/support/test_data.h"

namespace ombrix::test {
namespace {

struct FolderTotals {
  std::uint64_t totalSize = 0;
  std::uint64_t directFilesSize = 0;
  std::uint64_t fileCount = 0;
  std::uint64_t folderCount = 0;

  bool operator==(const FolderTotals&) const = default;
};

std::string Show(const FolderTotals& t) {
  return "size " + std::to_string(t.totalSize) + ", direct " + std::to_string(t.directFilesSize) +
         ", files " + std::to_string(t.fileCount) + ", folders " + std::to_string(t.folderCount);
}

std::optional<ListingEntry> ParseLine(const std::string& line) {
  const auto firstTab = line.find('\t');
  if (firstTab == std::string::npos || firstTab == 0) return std::nullopt;
  const auto secondTab = line.find('\t', firstTab + 1);
  if (secondTab != firstTab + 2) return std::nullopt;
  const char kind = line[firstTab + 1];
  if (kind != 'd' && kind != 'f') return std::nullopt;
  ListingEntry entry;
  entry.relativePath = line.substr(0, firstTab);
  entry.isDirectory = kind == 'd';
  const char* begin = line.data() + secondTab + 1;
  const char* end = line.data() + line.size();
  const auto [rest, error] = std::from_chars(begin, end, entry.size);
  if (error != std::errc{} || rest != end || begin == end) return std::nullopt;
  return entry;
}

// The folder totals the listing implies, keyed by relative folder path
// ("" for the root).
std::unordered_map<std::string, FolderTotals> ExpectedFolderTotals(const TreeListing& listing) {
  std::unordered_map<std::string, FolderTotals> totals;
  totals[""];
  for (const ListingEntry& entry : listing.entries) {
    if (entry.isDirectory) totals[entry.relativePath];
  }
  for (const ListingEntry& entry : listing.entries) {
    const std::string& path = entry.relativePath;
    auto slash = path.rfind('/');
    std::string parent = slash == std::string::npos ? "" : path.substr(0, slash);
    if (!entry.isDirectory) totals[parent].directFilesSize += entry.size;
    // Every folder above the entry counts it.
    for (;;) {
      FolderTotals& above = totals[parent];
      if (entry.isDirectory) {
        above.folderCount += 1;
      } else {
        above.fileCount += 1;
        above.totalSize += entry.size;
      }
      if (parent.empty()) break;
      slash = parent.rfind('/');
      parent = slash == std::string::npos ? "" : parent.substr(0, slash);
    }
  }
  return totals;
}

std::u16string ToBackslashes(std::u16string text) {
  for (char16_t& c : text) {
    if (c == u'/') c = u'\\';
  }
  return text;
}

}  // namespace

std::optional<TreeListing> ReadTreeListing(const std::string& listingPath) {
  std::ifstream in(std::filesystem::path(ToU16(listingPath)), std::ios::binary);
  if (!in) return std::nullopt;
  TreeListing listing;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::optional<ListingEntry> entry = ParseLine(line);
    if (!entry) return std::nullopt;
    listing.entries.push_back(std::move(*entry));
  }
  return listing;
}

std::vector<std::string> DifferencesFromListing(const core::ScanResult& result,
                                                const TreeListing& listing) {
  FindingList findings;
  if (result.rootIndex >= result.nodes.size()) {
    findings.Add("the result has no root");
    return findings.Take();
  }
  std::map<std::string, const ListingEntry*> expected;
  for (const ListingEntry& entry : listing.entries) expected[entry.relativePath] = &entry;
  const auto expectedTotals = ExpectedFolderTotals(listing);

  // Relative paths come from the node names along the parent links, not
  // from the path text, so a wrong path text is reported on its own.
  const auto& nodes = result.nodes;
  const std::u16string& rootPath = nodes[result.rootIndex].path;
  std::vector<std::string> relative(nodes.size());
  std::vector<std::uint64_t> order{result.rootIndex};
  for (std::size_t next = 0; next < order.size(); ++next) {
    const core::ScanNode& node = nodes[order[next]];
    for (std::uint64_t child : node.children) {
      if (child >= nodes.size()) continue;
      const std::string name = base::ToUtf8(nodes[child].name);
      relative[child] = relative[order[next]].empty() ? name : relative[order[next]] + "/" + name;
      order.push_back(child);
    }
  }

  std::uint64_t files = 0;
  std::uint64_t folders = 1;
  for (std::size_t i = 1; i < order.size(); ++i) {
    const core::ScanNode& node = nodes[order[i]];
    const std::string& rel = relative[order[i]];
    if (node.isDirectory != 0) {
      ++folders;
    } else {
      ++files;
    }
    const std::u16string expectedPath = core::JoinPath(rootPath, ToBackslashes(ToU16(rel)));
    if (node.path != expectedPath) {
      findings.Add(rel + ": path text is " + base::ToUtf8(node.path));
    }
    const auto found = expected.find(rel);
    if (found == expected.end()) {
      findings.Add(rel + ": scanned but not in the listing");
      continue;
    }
    const ListingEntry& entry = *found->second;
    expected.erase(found);
    if (entry.isDirectory != (node.isDirectory != 0)) {
      findings.Add(rel + ": scanned as " + (node.isDirectory != 0 ? "folder" : "file"));
    } else if (!entry.isDirectory && node.ownSize != entry.size) {
      findings.Add(rel + ": size " + std::to_string(node.ownSize) + ", listed " +
                   std::to_string(entry.size));
    }
  }
  for (const auto& [rel, entry] : expected) {
    findings.Add(rel + ": listed but not scanned");
  }

  for (std::size_t i = 0; i < order.size(); ++i) {
    const core::ScanNode& node = nodes[order[i]];
    if (node.isDirectory == 0) continue;
    const auto want = expectedTotals.find(relative[order[i]]);
    if (want == expectedTotals.end()) continue;  // already reported as extra
    const FolderTotals got{node.totalSize, node.directFilesSize, node.fileCount, node.folderCount};
    if (!(got == want->second)) {
      findings.Add("folder '" + relative[order[i]] + "': " + Show(got) + "; listing gives " +
                   Show(want->second));
    }
  }
  if (result.fileCount != files || result.folderCount != folders) {
    findings.Add("result counts " + std::to_string(result.fileCount) + " files and " +
                 std::to_string(result.folderCount) + " folders; its tree holds " +
                 std::to_string(files) + " and " + std::to_string(folders));
  }
  const std::uint64_t listedFolders = expectedTotals.size();  // the root included
  const std::uint64_t listedFiles = listing.entries.size() - (listedFolders - 1);
  if (files != listedFiles || folders != listedFolders) {
    findings.Add("scanned " + std::to_string(files) + " files and " + std::to_string(folders) +
                 " folders; listed " + std::to_string(listedFiles) + " and " +
                 std::to_string(listedFolders));
  }
  return findings.Take();
}

}  // namespace ombrix::test
