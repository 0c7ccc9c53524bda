// The tree under construction, owned by one engine for one Scan. It has no
// lock: an engine that adds nodes from several threads serialises the calls.
//
// Nodes take a name only; their paths follow from their parents' (see
// scan_nodes.h). The root alone is given its full path.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/scan_model.h"

namespace ombrix::core {

class ScanTreeBuilder {
 public:
  ScanNodes nodes;
  std::vector<ScanIssue> issues;
  std::uint64_t rootIndex = kNoNode;

  // The root folder: its own name (the leaf of path, empty for a drive
  // root) and the full path the scan was given.
  std::uint64_t AddRoot(std::u16string_view name, std::u16string_view path,
                        std::uint32_t attributes, std::uint64_t lastWriteTime);
  // parent must be a folder already added.
  std::uint64_t AddDirectory(std::uint64_t parent, std::u16string_view name,
                             std::uint32_t attributes, std::uint64_t lastWriteTime);
  // sizeOnDisk: the bytes the file's clusters take; the logical size when
  // not given.
  std::uint64_t AddFile(std::uint64_t parent, std::u16string_view name, std::uint32_t attributes,
                        std::uint64_t size, std::uint64_t lastWriteTime, std::uint64_t sizeOnDisk);
  std::uint64_t AddFile(std::uint64_t parent, std::u16string_view name, std::uint32_t attributes,
                        std::uint64_t size, std::uint64_t lastWriteTime) {
    return AddFile(parent, name, attributes, size, lastWriteTime, size);
  }
  // Files of one identity found in this scan (an MFT record number, a file
  // id) are names of one file: their clusters count once in every folder
  // above them. linkCount: the names the file has, 0 when the engine cannot
  // tell (the names found then count).
  void SetFileIdentity(std::uint64_t file, std::uint64_t identity, std::uint32_t linkCount);
  void AddIssue(std::u16string path, std::uint32_t errorCode);

  // Finishes the tree: the names of one file linked, the totals of every
  // folder below the root and the index of every folder's children.
  // Nothing without a root.
  void ComputeTotals();

  // Consumes the builder. engine is left 0 for the caller to set.
  ScanResult BuildResult(ScanStatus status, std::u16string rootPath, std::int64_t elapsedMs);

  // How every engine ends a scan that ran: Cancelled when the token is set
  // at this moment (a cancel after the walk still counts), else Completed,
  // with the engine's kind filled in. Consumes the builder.
  ScanResult BuildEngineResult(const ScanCancellationToken& token, ScanEngineKind engine,
                               std::u16string rootPath, std::int64_t elapsedMs);

 private:
  struct FileIdentity {
    std::uint64_t identity;
    std::uint64_t file;
    std::uint32_t linkCount;
  };
  void LinkFilesOfOneIdentity();

  std::vector<FileIdentity> identities_;
};

}  // namespace ombrix::core
