// An in-memory file system behind the directory walk's finder seam: what
// Wine cannot produce on demand (junctions, denied folders, reads failing
// part-way). Folders are keyed by the exact pattern the walk asks for.
#pragma once

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/scan_paths.h"
#include "core/walk/directory_finder.h"

namespace ombrix::test {

struct FakeFolder {
  std::vector<core::FoundEntry> entries;
  std::uint32_t openError = 0;  // nonzero: opening fails with this code
  std::size_t readableEntries = std::numeric_limits<std::size_t>::max();  // then reading fails
};

class FakeEnumeration final : public core::IDirectoryEnumeration {
 public:
  FakeEnumeration(const FakeFolder& folder, int& openCount)
      : folder_(folder), openCount_(openCount) {
    ++openCount_;
  }
  ~FakeEnumeration() override { --openCount_; }

  bool Next(core::FoundEntry& entry) override {
    if (next_ >= folder_.entries.size() || next_ >= folder_.readableEntries) return false;
    entry = folder_.entries[next_++];
    return true;
  }

 private:
  const FakeFolder& folder_;
  int& openCount_;
  std::size_t next_ = 0;
};

class FakeDirectoryFinder final : public core::IDirectoryFinder {
 public:
  // Any pattern not described fails with "path not found" (3).
  std::map<std::u16string, FakeFolder> folders;
  std::vector<std::u16string> openedPatterns;
  int openEnumerations = 0;
  // Prefixed to the root to form the system path ("\\\\?\\" as on Windows);
  // folders are then described by their system paths.
  std::u16string systemPrefix;

  std::uint64_t clusterLength = 0;

  std::u16string SystemPath(const std::u16string& root) override { return systemPrefix + root; }
  std::uint64_t ClusterLength(const std::u16string&) override { return clusterLength; }

  FakeFolder& Folder(const std::u16string& path, std::vector<core::FoundEntry> entries) {
    FakeFolder& folder = folders[core::JoinPath(path, u"*")];
    folder.entries = std::move(entries);
    return folder;
  }

  // No root attributes: the engine must make do without them.
  std::optional<core::PathAttributes> GetPathAttributes(const std::u16string&) override {
    return std::nullopt;
  }

  core::EnumerationOpenResult OpenEnumeration(const std::u16string& pattern) override {
    openedPatterns.push_back(pattern);
    const auto found = folders.find(pattern);
    if (found == folders.end()) return {nullptr, 3};
    if (found->second.openError != 0) return {nullptr, found->second.openError};
    return {std::make_unique<FakeEnumeration>(found->second, openEnumerations), 0};
  }
};

inline core::FoundEntry FoundFolder(std::u16string name, std::uint32_t extraAttributes = 0) {
  return core::FoundEntry{std::move(name), core::kAttributeDirectory | extraAttributes, 0, 1111};
}

inline core::FoundEntry FoundFile(std::u16string name, std::uint64_t size,
                                  std::uint32_t extraAttributes = 0) {
  return core::FoundEntry{std::move(name), 0x20 | extraAttributes, size, 2222};
}

}  // namespace ombrix::test
