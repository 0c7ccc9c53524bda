#include "app/ncdu/ncdu_export.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/ncdu/ncdu_names.h"

namespace ombrix::app {
namespace {

constexpr std::string_view kProgramName = "ombrix";
constexpr std::string_view kProgramVersion = "1.01";

void AppendNumberKey(std::string& out, std::string_view key, std::uint64_t value) {
  out += ",\"";
  out += key;
  out += "\":";
  out += std::to_string(value);
}

class ExportWriter {
 public:
  ExportWriter(const core::ScanResult& result, std::uint64_t nodeCount, std::string& out)
      : nodes_(result.nodes), nodeCount_(nodeCount), out_(out) {
    for (const core::ScanIssue& issue : result.issues) ++unreadable_[issue.path];
  }

  // Depth first on a stack of its own: a tree may be deeper than the
  // program's stack.
  void WriteTree(std::uint64_t root) {
    struct Open {
      std::uint64_t folder;
      std::size_t next;  // the next child to write
    };
    std::vector<Open> open;
    OpenFolder(root);
    open.push_back({root, 0});
    while (!open.empty()) {
      Open& top = open.back();
      const auto children = nodes_.Children(top.folder);
      // Rows a comparison hung into the tree lie past nodeCount.
      while (top.next < children.size() && children[top.next] >= nodeCount_) ++top.next;
      if (top.next == children.size()) {
        out_ += ']';
        open.pop_back();
        continue;
      }
      const std::uint64_t child = children[top.next++];
      out_ += ",\n";
      if (nodes_.IsDirectory(child)) {
        OpenFolder(child);
        open.push_back({child, 0});
      } else {
        WriteInfo(child);
      }
    }
  }

 private:
  void OpenFolder(std::uint64_t folder) {
    out_ += '[';
    WriteInfo(folder);
  }

  void WriteInfo(std::uint64_t node) {
    out_ += "{\"name\":";
    const core::NodeName name = nodes_.Name(node);
    // A root's name is its path, as ncdu writes it; so is a drive root's,
    // whose own name is empty.
    const std::u16string* ownPath = nodes_.RootPath(node);
    if (ownPath != nullptr && (nodes_.Parent(node) == core::kNoNode || name.empty())) {
      AppendNcduJsonString(out_, *ownPath);
    } else {
      AppendNcduJsonString(out_, name.ToString());
    }
    const bool folder = nodes_.IsDirectory(node);
    const std::uint64_t asize = nodes_.OwnSize(node);
    const std::uint64_t dsize = folder ? nodes_.FolderOwnSizeOnDisk(node) : nodes_.SizeOnDisk(node);
    if (asize != 0) AppendNumberKey(out_, "asize", asize);
    if (dsize != 0) AppendNumberKey(out_, "dsize", dsize);
    if (nodes_.IsHardLinked(node)) {
      AppendNumberKey(out_, "ino", std::uint64_t{nodes_.LinkGroup(node)} + 1);
      out_ += ",\"hlnkc\":true";
      AppendNumberKey(out_, "nlink", nodes_.LinkCount(node));
    }
    // Files can be unreadable too: ncdu marks any item so. One mark per
    // issue: two items of one path (an export may hold such twins) take as
    // many marks as the scan had issues for it, so it reads back the same.
    if (!unreadable_.empty()) {
      const auto unread = unreadable_.find(nodes_.Path(node));
      if (unread != unreadable_.end() && unread->second != 0) {
        --unread->second;
        out_ += ",\"read_error\":true";
      }
    }
    out_ += '}';
  }

  const core::ScanNodes& nodes_;
  std::uint64_t nodeCount_;
  std::string& out_;
  std::unordered_map<std::u16string, std::uint64_t> unreadable_;  // path -> issues left to mark
};

}  // namespace

std::string WriteNcduExport(const core::ScanResult& result, std::uint64_t nodeCount,
                            std::uint64_t timestamp) {
  std::string out = "[1,2,{\"progname\":\"";
  out += kProgramName;
  out += "\",\"progver\":\"";
  out += kProgramVersion;
  out += "\",\"timestamp\":";
  out += std::to_string(timestamp);
  out += "},\n";
  nodeCount = std::min<std::uint64_t>(nodeCount, result.nodes.size());
  if (result.rootIndex < nodeCount) {
    ExportWriter(result, nodeCount, out).WriteTree(result.rootIndex);
  } else {
    out += "[{\"name\":";
    AppendNcduJsonString(out, result.rootPath);
    out += "}]";
  }
  out += "]\n";
  return out;
}

}  // namespace ombrix::app
