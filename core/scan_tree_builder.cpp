#include "core/scan_tree_builder.h"

#include <utility>

#include "base/checked_math.h"

namespace ombrix::core {

namespace {

void SetCommonFields(ScanNode& node, std::uint64_t id, std::uint64_t parent,
                     std::uint32_t attributes, std::uint64_t lastWriteTime) {
  node.id = id;
  node.parent = parent;
  node.attributes = attributes;
  node.lastWriteTime = lastWriteTime;
  node.isReparsePoint = (attributes & kAttributeReparsePoint) != 0 ? 1 : 0;
}

}  // namespace

void ScanTreeBuilder::SetFolderFields(ScanNode& node, std::uint64_t id, std::uint64_t parent,
                                      std::uint32_t attributes, std::uint64_t lastWriteTime) {
  SetCommonFields(node, id, parent, attributes, lastWriteTime);
  node.isDirectory = 1;
}

void ScanTreeBuilder::SetFileFields(ScanNode& node, std::uint64_t id, std::uint64_t parent,
                                    std::uint32_t attributes, std::uint64_t size,
                                    std::uint64_t lastWriteTime) {
  SetCommonFields(node, id, parent, attributes, lastWriteTime);
  node.ownSize = size;
  node.totalSize = size;
}

ScanNode& ScanTreeBuilder::Append(std::uint64_t parent, std::u16string name, std::u16string path) {
  const std::uint64_t id = nodes.size();
  ScanNode& node = nodes.emplace_back();
  node.name = std::move(name);
  node.path = std::move(path);
  if (parent != kNoNode) {
    nodes[parent].children.push_back(id);
  }
  return node;
}

std::uint64_t ScanTreeBuilder::AddDirectory(std::uint64_t parent, std::u16string name,
                                            std::u16string path, std::uint32_t attributes,
                                            std::uint64_t lastWriteTime) {
  const std::uint64_t id = nodes.size();
  SetFolderFields(Append(parent, std::move(name), std::move(path)), id, parent, attributes,
                  lastWriteTime);
  if (parent == kNoNode) {
    rootIndex = id;
  }
  return id;
}

std::uint64_t ScanTreeBuilder::AddFile(std::uint64_t parent, std::u16string name,
                                       std::u16string path, std::uint32_t attributes,
                                       std::uint64_t size, std::uint64_t lastWriteTime) {
  const std::uint64_t id = nodes.size();
  SetFileFields(Append(parent, std::move(name), std::move(path)), id, parent, attributes, size,
                lastWriteTime);
  return id;
}

std::uint64_t ScanTreeBuilder::AppendBlankNodes(std::uint64_t count) {
  const std::uint64_t first = nodes.size();
  nodes.resize(first + count);
  return first;
}

void ScanTreeBuilder::AddIssue(std::u16string path, std::uint32_t errorCode) {
  issues.push_back(ScanIssue{std::move(path), errorCode});
}

void ScanTreeBuilder::ComputeTotals() {
  if (rootIndex == kNoNode || rootIndex >= nodes.size()) {
    return;
  }
  struct Frame {
    std::uint64_t index;
    bool expanded;
  };
  std::vector<Frame> stack;
  stack.push_back({rootIndex, false});
  while (!stack.empty()) {
    const Frame frame = stack.back();
    stack.pop_back();
    ScanNode& node = nodes[frame.index];
    if (!frame.expanded) {
      stack.push_back({frame.index, true});
      for (std::uint64_t child : node.children) {
        if (nodes[child].isDirectory != 0) {
          stack.push_back({child, false});
        }
      }
      continue;
    }
    node.totalSize = 0;
    node.directFilesSize = 0;
    node.fileCount = 0;
    node.folderCount = 0;
    for (std::uint64_t childIndex : node.children) {
      const ScanNode& child = nodes[childIndex];
      // Sizes come from disk bytes: a damaged or hostile record can claim
      // almost 2^63 bytes, and a few of them would wrap the sum around to
      // a small, plausible number. The largest value says "too much".
      if (child.isDirectory == 0) {
        node.totalSize = base::SaturatingAdd(node.totalSize, child.ownSize);
        node.directFilesSize = base::SaturatingAdd(node.directFilesSize, child.ownSize);
        node.fileCount += 1;
      } else {
        node.totalSize = base::SaturatingAdd(node.totalSize, child.totalSize);
        node.fileCount += child.fileCount;
        node.folderCount += child.folderCount + 1;
      }
    }
  }
}

ScanResult ScanTreeBuilder::BuildResult(ScanStatus status, std::u16string rootPath,
                                        std::int64_t elapsedMs) {
  ScanResult result;
  result.status = status;
  result.rootPath = std::move(rootPath);
  result.nodes = std::move(nodes);
  result.rootIndex = rootIndex;
  result.issues = std::move(issues);
  result.issueCount = result.issues.size();
  result.elapsedMs = elapsedMs;
  for (const ScanNode& node : result.nodes) {
    if (node.isDirectory != 0) {
      ++result.folderCount;
    } else {
      ++result.fileCount;
    }
  }
  nodes.clear();
  issues.clear();
  rootIndex = kNoNode;
  return result;
}

ScanResult ScanTreeBuilder::BuildEngineResult(const ScanCancellationToken& token,
                                              ScanEngineKind engine, std::u16string rootPath,
                                              std::int64_t elapsedMs) {
  const ScanStatus status = token.IsCancelled() ? ScanStatus::Cancelled : ScanStatus::Completed;
  ScanResult result = BuildResult(status, std::move(rootPath), elapsedMs);
  result.engine = engine;
  return result;
}

}  // namespace ombrix::core
