#include "tools/ombrix_scan/text_summary.h"

#include <cstdio>

#include "base/text_encoding.h"

namespace ombrix::scan_tool {

namespace {

// Issues are listed in full in the JSON report; a console needs only a taste.
constexpr std::size_t kIssuesShown = 10;

void AppendLine(BufferedOutput& out, std::string_view label, std::string_view value) {
  out.Append(label);
  out.Append(value);
  out.Append('\n');
}

// A name holding a line break or an escape sequence must not garble the
// console: control characters are shown as '?'.
std::string Printable(std::u16string_view text) {
  std::string utf8 = base::ToUtf8(text);
  for (char& c : utf8) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return utf8;
}

std::string CountOf(std::uint64_t count, std::string_view one, std::string_view many) {
  return GroupThousands(count) + " " + std::string(count == 1 ? one : many);
}

std::string SizeColumn(std::uint64_t bytes) {
  std::string text = HumanSize(bytes);
  if (text.size() < 12) text.insert(0, 12 - text.size(), ' ');
  return text;
}

}  // namespace

std::string GroupThousands(std::uint64_t value) {
  std::string digits = std::to_string(value);
  for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, 1, ',');
  return digits;
}

std::string HumanSize(std::uint64_t bytes) {
  static constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  double value = static_cast<double>(bytes) / 1024.0;
  std::size_t unit = 0;
  // Round first, so 1023.96 KiB reads "1.0 MiB" rather than "1024.0 KiB".
  while (value >= 1023.95 && unit + 1 < std::size(kUnits)) {
    value /= 1024.0;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
  return text;
}

void WriteTextSummary(BufferedOutput& out, const app::FolderRankingModel& ranking) {
  const core::ScanResult& result = ranking.Result();
  const auto& nodes = result.nodes;
  const std::uint64_t totalSize =
      result.rootIndex < nodes.size() ? nodes[result.rootIndex].totalSize : 0;

  AppendLine(out, "Status:   ", core::ScanStatusName(result.status));
  AppendLine(out, "Engine:   ", core::ScanEngineKindName(result.engine));
  AppendLine(out, "Path:     ", Printable(result.rootPath));
  if (!result.message.empty()) AppendLine(out, "Message:  ", Printable(result.message));
  AppendLine(out,
             "Size:     ", HumanSize(totalSize) + " (" + GroupThousands(totalSize) + " bytes)");
  AppendLine(out, "Files:    ", GroupThousands(result.fileCount));
  AppendLine(out, "Folders:  ", GroupThousands(result.folderCount));
  AppendLine(out, "Issues:   ", GroupThousands(result.issueCount));
  AppendLine(
      out, "Elapsed:  ",
      GroupThousands(static_cast<std::uint64_t>(result.elapsedMs < 0 ? 0 : result.elapsedMs)) +
          " ms");

  for (std::size_t i = 0; i < result.issues.size() && i < kIssuesShown; ++i) {
    AppendLine(out, "  error " + std::to_string(result.issues[i].errorCode) + ": ",
               Printable(result.issues[i].path));
  }
  if (result.issues.size() > kIssuesShown) {
    AppendLine(out, "  ... ", GroupThousands(result.issues.size() - kIssuesShown) + " more issues");
  }

  out.Append("\nLargest files:\n");
  if (ranking.fileRows.empty()) out.Append("  (none)\n");
  for (const app::RankingRow& row : ranking.fileRows) {
    AppendLine(out, SizeColumn(nodes[row.node].ownSize) + "  ", Printable(nodes[row.node].path));
  }
  out.Append("\nLargest folders:\n");
  if (ranking.subfolderRows.empty()) out.Append("  (none)\n");
  for (const app::RankingRow& row : ranking.subfolderRows) {
    const core::ScanNode& node = nodes[row.node];
    AppendLine(out, SizeColumn(node.totalSize) + "  ",
               Printable(node.path) + "  (" + CountOf(node.fileCount, "file", "files") + ", " +
                   CountOf(node.folderCount, "folder", "folders") + ")");
  }
}

}  // namespace ombrix::scan_tool
