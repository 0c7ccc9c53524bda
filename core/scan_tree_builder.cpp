#include "core/scan_tree_builder.h"

#include <algorithm>
#include <cstdint>
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
                                       std::uint64_t lastWriteTime, std::uint64_t sizeOnDisk) {
  return nodes.AddFile(parent, name, attributes, size, lastWriteTime, sizeOnDisk);
}

void ScanTreeBuilder::SetFileIdentity(std::uint64_t file, std::uint64_t identity,
                                      std::uint32_t linkCount) {
  identities_.push_back({identity, file, linkCount});
}

void ScanTreeBuilder::LinkFilesOfOneIdentity() {
  std::sort(identities_.begin(), identities_.end(),
            [](const FileIdentity& a, const FileIdentity& b) {
              return a.identity != b.identity ? a.identity < b.identity : a.file < b.file;
            });
  std::vector<std::uint64_t> files;
  for (auto run = identities_.begin(); run != identities_.end();) {
    const auto end = std::find_if(run, identities_.end(), [&](const FileIdentity& other) {
      return other.identity != run->identity;
    });
    std::uint32_t linkCount = 0;
    files.clear();
    for (auto it = run; it != end; ++it) {
      files.push_back(it->file);
      linkCount = std::max(linkCount, it->linkCount);
    }
    // One name and no word of others: an ordinary file.
    const auto found = static_cast<std::uint32_t>(files.size());  // nodes fit 32 bits
    if (found > 1 || linkCount > 1) nodes.LinkNames(files, std::max(linkCount, found));
    run = end;
  }
  identities_.clear();
  identities_.shrink_to_fit();
}

void ScanTreeBuilder::AddIssue(std::u16string path, std::uint32_t errorCode) {
  issues.push_back(ScanIssue{std::move(path), errorCode});
}

void ScanTreeBuilder::ComputeTotals() {
  if (rootIndex == kNoNode || rootIndex >= nodes.size()) return;
  LinkFilesOfOneIdentity();
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
