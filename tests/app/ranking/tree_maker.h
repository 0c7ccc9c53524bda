// Hand-made scan results for the ranking tests: folders and files added by
// parent, paths joined from the names, totals computed as an engine does.
#pragma once

#include <cstdint>
#include <string>

#include "core/scan_model.h"
#include "core/scan_paths.h"
#include "core/scan_tree_builder.h"

namespace ombrix::app::testing {

class TreeMaker {
 public:
  explicit TreeMaker(std::u16string rootPath = u"X:\\R") : rootPath_(std::move(rootPath)) {
    root = builder_.AddRoot(core::LeafName(rootPath_), rootPath_, 0x10, 0);
  }

  // A drive root has an empty name and its own path ("C:\\").
  std::uint64_t Folder(std::uint64_t parent, const std::u16string& name,
                       const std::u16string& path = {}) {
    if (path.empty()) return builder_.AddDirectory(parent, name, 0x10, 0);
    return builder_.nodes.AddFolderWithPath(parent, name, path, 0x10, 0);
  }
  std::uint64_t File(std::uint64_t parent, const std::u16string& name, std::uint64_t size) {
    return builder_.AddFile(parent, name, 0x20, size, 0);
  }
  std::uint64_t File(std::uint64_t parent, const std::u16string& name, std::uint64_t size,
                     std::uint64_t sizeOnDisk) {
    return builder_.AddFile(parent, name, 0x20, size, 0, sizeOnDisk);
  }

  // For marks and links the builder offers beyond plain files.
  core::ScanTreeBuilder& Builder() { return builder_; }

  core::ScanResult Finish(core::ScanStatus status = core::ScanStatus::Completed) {
    builder_.ComputeTotals();
    return builder_.BuildResult(status, rootPath_, 0);
  }

  std::uint64_t root;

 private:
  std::u16string rootPath_;
  core::ScanTreeBuilder builder_;
};

}  // namespace ombrix::app::testing
