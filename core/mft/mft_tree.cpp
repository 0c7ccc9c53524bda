#include "core/mft/mft_tree.h"

#include <unordered_set>
#include <utility>

#include "core/scan_paths.h"

namespace ombrix::core {

namespace {

constexpr std::size_t kInitialWalkDepth = 1024;

struct PendingDirectory {
  std::uint64_t fileReference;
  std::uint64_t nodeIndex;
  std::u16string path;
};

bool IsSkippedName(const std::u16string& name) {
  // The volume root's own record is named "." and lists itself as parent.
  return name.empty() || name == u"." || name == u"..";
}

bool NamesMatchIgnoringCase(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldNameUnit(a[i]) != FoldNameUnit(b[i])) return false;
  }
  return true;
}

}  // namespace

char16_t FoldNameUnit(char16_t c) {
  if (c < 0x80) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  }
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) ||
      (c >= 0x430 && c <= 0x44F)) {
    return static_cast<char16_t>(c - 0x20);
  }
  if (c == 0xFF) return 0x178;
  if (c == 0x3C2) return 0x3A3;  // final sigma
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
      c != 0x178 && c != 0x17F) {
    // Latin Extended-A pairs: even upper/odd lower up to U+0137, odd
    // upper/even lower from U+0139 to U+0148 and from U+0179 on, even/odd again
    // from U+014A to U+0177.
    const bool oddLower = (c <= 0x137) || (c >= 0x14A && c <= 0x177);
    if (oddLower) return (c & 1) ? static_cast<char16_t>(c - 1) : c;
    return (c & 1) ? c : static_cast<char16_t>(c - 1);
  }
  if (c >= 0x450 && c <= 0x45F) {
    return static_cast<char16_t>(c - 0x50);
  }
  return c;
}

MftChildrenMap BuildChildrenMap(const std::vector<MftNameEntry>& entries) {
  MftChildrenMap children;
  children.reserve(entries.size());
  for (std::uint64_t i = 0; i < entries.size(); ++i) {
    children[entries[i].parentReference].push_back(i);
  }
  return children;
}

void PopulateMftTree(ScanTreeBuilder& builder, std::uint64_t rootIndex,
                     const std::u16string& rootPath, std::uint64_t rootReference,
                     const std::vector<MftNameEntry>& entries, const MftChildrenMap& children,
                     const ScanCancellationToken& token, EngineProgress& progress) {
  std::unordered_set<std::uint64_t> descended;
  descended.reserve(children.size());
  std::vector<PendingDirectory> stack;
  stack.reserve(kInitialWalkDepth);
  stack.push_back({rootReference, rootIndex, rootPath});

  while (!stack.empty()) {
    if (token.IsCancelled()) {
      break;
    }
    PendingDirectory frame = std::move(stack.back());
    stack.pop_back();
    progress.CountFolder(frame.path);
    progress.ReportCurrent();

    const auto found = children.find(frame.fileReference);
    if (found == children.end()) {
      continue;
    }
    for (const std::uint64_t position : found->second) {
      if (position >= entries.size()) {
        continue;
      }
      const MftNameEntry& entry = entries[position];
      if (IsSkippedName(entry.name)) {
        continue;
      }
      std::u16string childPath = JoinPath(frame.path, entry.name);
      if (entry.isDirectory) {
        const std::uint64_t node =
            builder.AddDirectory(frame.nodeIndex, entry.name, childPath, entry.attributes, 0);
        if ((entry.attributes & kAttributeReparsePoint) != 0) {
          continue;  // junctions, symbolic links and mount points are shown, not followed
        }
        if (descended.insert(position).second) {
          stack.push_back({entry.fileReference, node, std::move(childPath)});
        }
      } else {
        const bool report = progress.CountFile(childPath);
        builder.AddFile(frame.nodeIndex, entry.name, std::move(childPath), entry.attributes,
                        entry.size, 0);
        if (report) {
          progress.ReportCurrent();
        }
      }
    }
  }
}

std::optional<std::uint64_t> FindFolderByNames(const std::vector<std::u16string>& names,
                                               std::uint64_t startReference,
                                               const std::vector<MftNameEntry>& entries,
                                               const MftChildrenMap& children) {
  std::uint64_t current = startReference;
  for (const std::u16string& name : names) {
    const auto found = children.find(current);
    if (found == children.end()) {
      return std::nullopt;
    }
    std::optional<std::uint64_t> exact;
    std::optional<std::uint64_t> folded;
    for (const std::uint64_t position : found->second) {
      if (position >= entries.size()) continue;
      const MftNameEntry& entry = entries[position];
      if (!entry.isDirectory || (entry.attributes & kAttributeReparsePoint) != 0 ||
          IsSkippedName(entry.name)) {
        continue;
      }
      if (entry.name == name) {
        exact = entry.fileReference;
        break;
      }
      if (!folded && NamesMatchIgnoringCase(entry.name, name)) {
        folded = entry.fileReference;
      }
    }
    if (!exact && !folded) {
      return std::nullopt;
    }
    current = exact ? *exact : *folded;
  }
  return current;
}

}  // namespace ombrix::core
