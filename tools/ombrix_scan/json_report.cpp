#include "tools/ombrix_scan/json_report.h"

#include "core/text_encoding.h"

namespace ombrix::scan_tool {

namespace {

void AppendControlEscape(std::string& buffer, char16_t c) {
  switch (c) {
    case u'\b': buffer += "\\b"; return;
    case u'\f': buffer += "\\f"; return;
    case u'\n': buffer += "\\n"; return;
    case u'\r': buffer += "\\r"; return;
    case u'\t': buffer += "\\t"; return;
    default: break;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  buffer += "\\u00";
  buffer.push_back(kHex[(c >> 4) & 0xF]);
  buffer.push_back(kHex[c & 0xF]);
}

void AppendKey(BufferedOutput& out, std::string_view key) {
  out.Append('"');
  out.Append(key);
  out.Append("\":");
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

// Each array element on its own line keeps huge reports greppable.
template <typename Items, typename WriteItem>
void AppendArray(BufferedOutput& out, std::string_view key, const Items& items,
                 WriteItem writeItem) {
  AppendKey(out, key);
  out.Append('[');
  bool first = true;
  for (const auto& item : items) {
    out.Append(first ? "\n{" : ",\n{");
    first = false;
    writeItem(item);
    out.Append('}');
  }
  out.Append(']');
}

}  // namespace

void AppendJsonString(BufferedOutput& out, std::u16string_view text) {
  std::string& buffer = out.Buffer();
  buffer.push_back('"');
  std::size_t units = 0;
  for (std::size_t i = 0; i < text.size(); i += units) {
    const char16_t unit = text[i];
    if (unit >= 0x20 && unit < 0x80) {
      units = 1;
      if (unit == u'"' || unit == u'\\') buffer.push_back('\\');
      buffer.push_back(static_cast<char>(unit));
    } else if (unit < 0x20) {
      units = 1;
      AppendControlEscape(buffer, unit);
    } else {
      core::AppendUtf8(buffer, core::DecodeUtf16(text, i, units));
    }
  }
  buffer.push_back('"');
  out.FlushIfFull();
}

void WriteJsonReport(BufferedOutput& out, const core::ScanResult& result, const TopEntries& top,
                     bool includeTree) {
  const auto& nodes = result.nodes;
  const std::uint64_t totalSize =
      result.rootIndex < nodes.size() ? nodes[result.rootIndex].totalSize : 0;

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
  out.Append(",\n");

  AppendArray(out, "issues", result.issues, [&](const core::ScanIssue& issue) {
    AppendStringField(out, "path", issue.path);
    out.Append(',');
    AppendNumberField(out, "errorCode", issue.errorCode);
  });
  out.Append(",\n");
  AppendArray(out, "topFiles", top.files, [&](std::uint64_t index) {
    AppendStringField(out, "path", nodes[index].path);
    out.Append(',');
    AppendNumberField(out, "size", nodes[index].totalSize);
  });
  out.Append(",\n");
  AppendArray(out, "topFolders", top.folders, [&](std::uint64_t index) {
    const core::ScanNode& node = nodes[index];
    AppendStringField(out, "path", node.path);
    out.Append(',');
    AppendNumberField(out, "size", node.totalSize);
    out.Append(',');
    AppendNumberField(out, "fileCount", node.fileCount);
    out.Append(',');
    AppendNumberField(out, "folderCount", node.folderCount);
  });

  if (includeTree) {
    out.Append(",\n");
    AppendArray(out, "nodes", nodes, [&](const core::ScanNode& node) {
      AppendStringField(out, "path", node.path);
      out.Append(node.isDirectory ? ",\"isDirectory\":true," : ",\"isDirectory\":false,");
      AppendNumberField(out, "size", node.totalSize);
      out.Append(',');
      AppendNumberField(out, "fileCount", node.fileCount);
      out.Append(',');
      AppendNumberField(out, "folderCount", node.folderCount);
      out.Append(',');
      AppendNumberField(out, "attributes", node.attributes);
    });
  }
  out.Append("}\n");
}

}  // namespace ombrix::scan_tool
