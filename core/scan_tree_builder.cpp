#include "core/scan_tree_builder.h"

#include <utility>

namespace ombrix::core {

std::uint64_t ScanTreeBuilder::AddRoot(std::u16string_view name, std::u16string_view path,
                                       std::uint32_t attributes, std::uint64_t lastWriteTime) {
  rootIndex = nodes.AddRoot(name, path, attributes, lastWriteTime);
  return rootIndex;
}

std::uint64_t ScanTreeBuilder::AddDirectory(std::uint64_t parent, std::u16string_view name,
                                            std::uint32_t attributes,
                                            std::uint64_t lastWriteTime) {
  return nodes.AddFolder(parent, name, attributes, lastWriteTime);
}

std::uint64_t ScanTreeBuilder::AddFile(std::uint64_t parent, std::u16string_view name,
                                       std::uint32_t attributes, std::uint64_t size,
                                       std::uint64_t lastWriteTime) {
  return nodes.AddFile(parent, name, attributes, size, lastWriteTime);
}

void ScanTreeBuilder::AddIssue(std::u16string path, std::uint32_t errorCode) {
  issues.push_back(ScanIssue{std::move(path), errorCode});
}

void ScanTreeBuilder::ComputeTotals() {
  if (rootIndex == kNoNode || rootIndex >= nodes.size()) return;
  nodes.ComputeTotals();
  nodes.LinkChildren();
}

ScanResult ScanTreeBuilder::BuildResult(ScanStatus status, std::u16string rootPath,
                                        std::int64_t elapsedMs) {
  ScanResult result;
  result.status = status;
  result.rootPath = std::move(rootPath);
  nodes.LinkChildren();
  result.folderCount = nodes.FolderTotal();
  result.fileCount = nodes.size() - nodes.FolderTotal();
  result.nodes = std::move(nodes);
  result.rootIndex = rootIndex;
  result.issues = std::move(issues);
  result.issueCount = result.issues.size();
  result.elapsedMs = elapsedMs;
  nodes = ScanNodes();
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
