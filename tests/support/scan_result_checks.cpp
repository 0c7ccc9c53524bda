#include "tests/support/scan_result_checks.h"

#include <cstdint>
#include <string>

#include "base/checked_math.h"
#include "base/text_encoding.h"
#include "tests/support/finding_list.h"
#include "tests/support/test_data.h"

namespace ombrix::test {
namespace {

using core::kNoNode;
using core::ScanNode;

std::string Describe(const ScanNode& node) {
  return "node " + std::to_string(node.Id()) + " (" + base::ToUtf8(node.Path()) + ")";
}

struct Totals {
  std::uint64_t totalSize = 0;
  std::uint64_t directFilesSize = 0;
  std::uint64_t fileCount = 0;
  std::uint64_t folderCount = 0;
};

}  // namespace

std::vector<std::string> TreeInconsistencies(const core::ScanResult& result, RootKind root) {
  FindingList findings;
  const auto& nodes = result.nodes;
  std::uint64_t files = 0;
  for (std::uint64_t i = 0; i < nodes.size(); ++i) {
    const std::uint64_t parent = nodes[i].Parent();
    if (parent != kNoNode && (parent >= i || !nodes[parent].IsDirectory())) {
      findings.Add(Describe(nodes[i]) + " has parent " + std::to_string(parent) +
                   ", not a folder before it");
    }
    files += nodes[i].IsDirectory() ? 0 : 1;
  }
  const std::uint64_t folders = nodes.size() - files - (root == RootKind::Synthetic ? 1 : 0);
  if (result.fileCount != files || result.folderCount != folders) {
    findings.Add("result counts " + std::to_string(result.fileCount) + " files, " +
                 std::to_string(result.folderCount) + " folders; nodes hold " +
                 std::to_string(files) + " and " + std::to_string(folders));
  }
  if (result.issueCount != result.issues.size()) {
    findings.Add("issueCount " + std::to_string(result.issueCount) + " but " +
                 std::to_string(result.issues.size()) + " issues");
  }
  if (nodes.empty()) {
    if (result.rootIndex != kNoNode) findings.Add("root index without nodes");
    return findings.Take();
  }
  if (result.rootIndex >= nodes.size() || nodes[result.rootIndex].Parent() != kNoNode) {
    findings.Add("no valid root");
    return findings.Take();
  }

  // Breadth-first from the root; folders are then totalled in reverse of
  // that order, so every child is done before its parent whatever the ids.
  std::vector<std::uint64_t> order{result.rootIndex};
  std::vector<bool> seen(nodes.size(), false);
  seen[result.rootIndex] = true;
  for (std::size_t next = 0; next < order.size(); ++next) {
    const ScanNode node = nodes[order[next]];
    if (!node.IsDirectory() && !node.Children().empty()) {
      findings.Add(Describe(node) + " is a file with children");
    }
    for (std::uint64_t child : node.Children()) {
      if (child >= nodes.size() || seen[child] || nodes[child].Parent() != node.Id()) {
        findings.Add(Describe(node) + " has a bad child " + std::to_string(child));
        continue;
      }
      seen[child] = true;
      order.push_back(child);
    }
  }
  if (order.size() != nodes.size()) {
    findings.Add(std::to_string(nodes.size() - order.size()) + " nodes unreachable from the root");
  }

  std::vector<Totals> totals(nodes.size());
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    const ScanNode node = nodes[*it];
    if (!node.IsDirectory()) {
      if (node.TotalSize() != node.OwnSize() || node.FileCount() != 0 || node.FolderCount() != 0) {
        findings.Add(Describe(node) + " is a file with folder totals");
      }
      continue;
    }
    Totals& sum = totals[*it];
    for (std::uint64_t child : node.Children()) {
      if (child >= nodes.size()) continue;
      if (!nodes[child].IsDirectory()) {
        sum.totalSize = base::SaturatingAdd(sum.totalSize, nodes[child].OwnSize());
        sum.directFilesSize = base::SaturatingAdd(sum.directFilesSize, nodes[child].OwnSize());
        sum.fileCount += 1;
      } else {
        sum.totalSize = base::SaturatingAdd(sum.totalSize, totals[child].totalSize);
        sum.fileCount += totals[child].fileCount;
        sum.folderCount += totals[child].folderCount + 1;
      }
    }
    if (node.TotalSize() != sum.totalSize || node.DirectFilesSize() != sum.directFilesSize ||
        node.FileCount() != sum.fileCount || node.FolderCount() != sum.folderCount) {
      findings.Add(Describe(node) + " totals " + std::to_string(node.TotalSize()) + "/" +
                   std::to_string(node.FileCount()) + "/" + std::to_string(node.FolderCount()) +
                   " but its nodes add up to " + std::to_string(sum.totalSize) + "/" +
                   std::to_string(sum.fileCount) + "/" + std::to_string(sum.folderCount));
    }
  }
  return findings.Take();
}

std::vector<std::uint64_t> ChildrenOf(const core::ScanNode& node) {
  const auto children = node.Children();
  return std::vector<std::uint64_t>(children.begin(), children.end());
}

std::optional<core::ScanNode> FindNodeByPath(const core::ScanResult& result,
                                             std::u16string_view path) {
  core::PathMaker paths(result.nodes);
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (paths.PathOf(i) == path) return result.nodes[i];
  }
  return std::nullopt;
}

}  // namespace ombrix::test
