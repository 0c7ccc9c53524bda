#include "tools/ombrix_scan/json_report.h"

#include <algorithm>

#include "base/text_encoding.h"

namespace ombrix::scan_tool {

namespace {

char* WriteControlEscape(char* out, char16_t c) {
  char shortForm = 0;
  switch (c) {
    case u'\b':
      shortForm = 'b';
      break;
    case u'\f':
      shortForm = 'f';
      break;
    case u'\n':
      shortForm = 'n';
      break;
    case u'\r':
      shortForm = 'r';
      break;
    case u'\t':
      shortForm = 't';
      break;
    default:
      break;
  }
  *out++ = '\\';
  if (shortForm) {
    *out++ = shortForm;
    return out;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  *out++ = 'u';
  *out++ = '0';
  *out++ = '0';
  *out++ = kHex[(c >> 4) & 0xF];
  *out++ = kHex[c & 0xF];
  return out;
}

}  // namespace

void AppendKey(BufferedOutput& out, std::string_view key) {
  char* end = out.Reserve(key.size() + 3);
  *end++ = '"';
  end = std::copy(key.begin(), key.end(), end);
  *end++ = '"';
  *end++ = ':';
  out.Commit(end);
}

void AppendNumberField(BufferedOutput& out, std::string_view key, std::uint64_t value) {
  AppendKey(out, key);
  out.AppendNumber(value);
}

void AppendStringField(BufferedOutput& out, std::string_view key, std::u16string_view value) {
  AppendKey(out, key);
  AppendJsonString(out, value);
}

void AppendAsciiField(BufferedOutput& out, std::string_view key, std::string_view value) {
  AppendKey(out, key);
  out.Append('"');
  out.Append(value);
  out.Append('"');
}

namespace {

// The number of names of a hard-linked file and a placeholder's mark; a
// plain file carries neither.
void AppendFileMarks(BufferedOutput& out, const core::ScanNodes& nodes, std::uint64_t node) {
  if (nodes.LinkCount(node) > 1) {
    out.Append(',');
    AppendNumberField(out, "links", nodes.LinkCount(node));
  }
  if (nodes.IsPlaceholder(node)) out.Append(",\"placeholder\":true");
}

void AppendSpace(BufferedOutput& out, const core::VolumeSpace& space) {
  AppendKey(out, "space");
  out.Append('{');
  AppendNumberField(out, "volumeSize", space.volumeSize);
  out.Append(',');
  AppendNumberField(out, "usedSpace", space.usedSpace);
  out.Append(',');
  AppendNumberField(out, "freeSpace", space.freeSpace);
  out.Append(',');
  AppendNumberField(out, "filesOnDisk", space.filesOnDisk);
  out.Append(',');
  AppendNumberField(out, "metadata", space.metadata);
  out.Append(',');
  AppendNumberField(out, "unreadable", space.unreadable);
  out.Append(',');
  AppendNumberField(out, "unexplained", space.unexplained);
  out.Append('}');
}

std::string_view ChangeKindName(app::ChangeKind kind) {
  switch (kind) {
    case app::ChangeKind::Unchanged:
      return "unchanged";
    case app::ChangeKind::Changed:
      return "changed";
    case app::ChangeKind::Added:
      return "new";
  }
  return "unknown";
}

// ,"change":{...} for node i, when there is a comparison.
void AppendChange(BufferedOutput& out, const app::ScanComparison* comparison, std::uint64_t i) {
  if (comparison == nullptr) return;
  const app::NodeChange& change = comparison->changes[i];
  out.Append(",\"change\":{");
  AppendAsciiField(out, "state", ChangeKindName(change.kind));
  out.Append(',');
  AppendKey(out, "size");
  out.AppendSignedNumber(change.bytes);
  out.Append(',');
  AppendKey(out, "fileCount");
  out.AppendSignedNumber(change.files);
  out.Append('}');
}

}  // namespace

void AppendJsonString(BufferedOutput& out, std::u16string_view text) {
  // Worst cases per UTF-16 unit: 6 bytes for an escaped control character,
  // 3 for a BMP character; a surrogate pair takes 4 bytes for 2 units.
  char* end = out.Reserve(text.size() * 6 + 2);
  *end++ = '"';
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size(); i += units) {
    const char16_t unit = text[i];
    units = 1;
    if (unit >= 0x20 && unit < 0x80) {
      if (unit == u'"' || unit == u'\\') *end++ = '\\';
      *end++ = static_cast<char>(unit);
    } else if (unit < 0x20) {
      end = WriteControlEscape(end, unit);
    } else {
      end += base::EncodeUtf8(base::DecodeUtf16(text, i, units), end);
    }
  }
  *end++ = '"';
  out.Commit(end);
}

void WriteJsonReport(BufferedOutput& out, const app::FolderRankingModel& ranking,
                     bool includeTree, const JsonSections& moreSections,
                     const app::ScanComparison* comparison) {
  const core::ScanResult& result = ranking.Result();
  const core::ScanNodes& nodes = result.nodes;
  const bool hasRoot = result.rootIndex < nodes.size();
  const std::uint64_t totalSize = hasRoot ? nodes.TotalSize(result.rootIndex) : 0;
  const std::uint64_t totalOnDisk = hasRoot ? nodes.SizeOnDisk(result.rootIndex) : 0;

  out.Append('{');
  AppendAsciiField(out, "status", core::ScanStatusName(result.status));
  out.Append(',');
  AppendAsciiField(out, "engine", core::ScanEngineKindName(result.engine));
  out.Append(",\n");
  AppendStringField(out, "rootPath", result.rootPath);
  out.Append(',');
  AppendStringField(out, "message", result.message);
  out.Append(",\n");
  AppendNumberField(out, "fileCount", result.fileCount);
  out.Append(',');
  AppendNumberField(out, "folderCount", result.folderCount);
  out.Append(',');
  AppendNumberField(out, "issueCount", result.issueCount);
  out.Append(',');
  AppendKey(out, "elapsedMs");
  out.AppendSignedNumber(result.elapsedMs);
  out.Append(',');
  AppendNumberField(out, "totalSize", totalSize);
  out.Append(',');
  AppendNumberField(out, "sizeOnDisk", totalOnDisk);
  out.Append(',');
  AppendAsciiField(out, "sizes",
                   ranking.Basis() == core::SizeBasis::OnDisk ? "disk" : "logical");
  out.Append(",\n");
  if (result.space) {
    AppendSpace(out, *result.space);
    out.Append(",\n");
  }

  AppendArray(out, "issues", result.issues, [&](const core::ScanIssue& issue) {
    AppendStringField(out, "path", issue.path);
    out.Append(',');
    AppendNumberField(out, "errorCode", issue.errorCode);
  });
  out.Append(",\n");
  AppendArray(out, "topFiles", ranking.fileRows, [&](const app::RankingRow& row) {
    AppendStringField(out, "path", nodes.Path(row.node));
    out.Append(',');
    AppendNumberField(out, "size", nodes.OwnSize(row.node));
    out.Append(',');
    AppendNumberField(out, "sizeOnDisk", nodes.SizeOnDisk(row.node));
    AppendFileMarks(out, nodes, row.node);
    AppendChange(out, comparison, row.node);
  });
  out.Append(",\n");
  AppendArray(out, "topFolders", ranking.subfolderRows, [&](const app::RankingRow& row) {
    const core::ScanNode node = nodes[row.node];
    AppendStringField(out, "path", node.Path());
    out.Append(',');
    AppendNumberField(out, "size", node.TotalSize());
    out.Append(',');
    AppendNumberField(out, "sizeOnDisk", node.SizeOnDisk());
    out.Append(',');
    AppendNumberField(out, "fileCount", node.FileCount());
    out.Append(',');
    AppendNumberField(out, "folderCount", node.FolderCount());
    AppendChange(out, comparison, row.node);
  });
  if (comparison != nullptr) {
    out.Append(",\n");
    AppendArray(out, "deleted", comparison->deleted, [&](const app::DeletedNode& gone) {
      AppendStringField(out, "path", gone.path);
      out.Append(gone.isDirectory ? ",\"isDirectory\":true," : ",\"isDirectory\":false,");
      AppendNumberField(out, "size", gone.bytes);
      out.Append(',');
      AppendNumberField(out, "fileCount", gone.files);
    });
  }

  if (includeTree) {
    out.Append(",\n");
    core::PathMaker paths(nodes);
    AppendArray(out, "nodes", nodes, [&](const core::ScanNode& node) {
      AppendStringField(out, "path", paths.PathOf(node.Id()));
      out.Append(node.IsDirectory() ? ",\"isDirectory\":true," : ",\"isDirectory\":false,");
      AppendNumberField(out, "size", node.TotalSize());
      out.Append(',');
      AppendNumberField(out, "sizeOnDisk", node.SizeOnDisk());
      out.Append(',');
      AppendNumberField(out, "fileCount", node.FileCount());
      out.Append(',');
      AppendNumberField(out, "folderCount", node.FolderCount());
      out.Append(',');
      AppendNumberField(out, "attributes", node.Attributes());
      AppendFileMarks(out, nodes, node.Id());
      AppendChange(out, comparison, node.Id());
    });
  }
  if (moreSections) moreSections(out);
  out.Append("}\n");
}

}  // namespace ombrix::scan_tool
