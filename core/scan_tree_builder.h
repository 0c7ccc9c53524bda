// The tree under construction, owned by one engine for one Scan. It has no
// lock: an engine that adds nodes from several threads serialises the calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/scan_model.h"

namespace ombrix::core {

class ScanTreeBuilder {
 public:
  std::vector<ScanNode> nodes;
  std::vector<ScanIssue> issues;
  std::uint64_t rootIndex = kNoNode;

  // A parent of kNoNode makes the new folder the root.
  std::uint64_t AddDirectory(std::uint64_t parent, std::u16string name, std::u16string path,
                             std::uint32_t attributes, std::uint64_t lastWriteTime);
  // parent must be a valid folder index: a file is never a root.
  std::uint64_t AddFile(std::uint64_t parent, std::u16string name, std::u16string path,
                        std::uint32_t attributes, std::uint64_t size, std::uint64_t lastWriteTime);
  void AddIssue(std::u16string path, std::uint32_t errorCode);

  // For engines that lay out a large tree first and fill it on several
  // threads: appends count blank nodes and returns the index of the first.
  // Each is then given its fields by SetFolderFields or SetFileFields (any
  // thread, each node by one), and the caller links children itself.
  std::uint64_t AppendBlankNodes(std::uint64_t count);
  static void SetFolderFields(ScanNode& node, std::uint64_t id, std::uint64_t parent,
                              std::uint32_t attributes, std::uint64_t lastWriteTime);
  static void SetFileFields(ScanNode& node, std::uint64_t id, std::uint64_t parent,
                            std::uint32_t attributes, std::uint64_t size,
                            std::uint64_t lastWriteTime);

  // Fills the four totals of every folder reachable from the root, with an
  // explicit stack: trees thousands of levels deep must not exhaust the
  // thread's stack.
  void ComputeTotals();

  // Consumes the builder. engine is left 0 for the caller to set.
  ScanResult BuildResult(ScanStatus status, std::u16string rootPath, std::int64_t elapsedMs);

  // How every engine ends a scan that ran: Cancelled when the token is set
  // at this moment (a cancel after the walk still counts), else Completed,
  // with the engine's kind filled in. Consumes the builder.
  ScanResult BuildEngineResult(const ScanCancellationToken& token, ScanEngineKind engine,
                               std::u16string rootPath, std::int64_t elapsedMs);

 private:
  ScanNode& Append(std::uint64_t parent, std::u16string name, std::u16string path);
};

}  // namespace ombrix::core
