#include "tools/ombrix_scan/text_summary.h"

#include <cstdint>
#include <string>

#include "app/number_format.h"
#include "base/text_encoding.h"

namespace ombrix::scan_tool {

namespace {

// Issues are listed in full in the JSON report; a console needs only a taste.
constexpr std::size_t kIssuesShown = 10;

// The user's default locale, whatever the window's language.
constexpr std::u16string_view kNumberLanguage = u"system";

}  // namespace

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

std::string Count(std::uint64_t value) {
  return base::ToUtf8(app::FormatCount(kNumberLanguage, value));
}

std::string CountOf(std::uint64_t count, std::string_view one, std::string_view many) {
  return Count(count) + " " + std::string(count == 1 ? one : many);
}

// Right-aligned to 12 characters; the separators of some locales take more
// than one byte, so the width is counted before encoding.
std::string SizeColumn(std::uint64_t bytes) {
  std::u16string text = app::FormatSize(kNumberLanguage, bytes);
  if (text.size() < 12) text.insert(0, 12 - text.size(), u' ');
  return base::ToUtf8(text);
}

namespace {

constexpr std::string_view kColumnHeads = "        size       on disk\n";

// A file's or folder's size and size on disk, then room before the path.
std::string SizeColumns(const core::ScanNodes& nodes, std::uint64_t node) {
  const std::uint64_t size = nodes.IsDirectory(node) ? nodes.TotalSize(node) : nodes.OwnSize(node);
  return SizeColumn(size) + "  " + SizeColumn(nodes.SizeOnDisk(node)) + "  ";
}

std::string FileMarks(const core::ScanNodes& nodes, std::uint64_t node) {
  std::string marks;
  if (nodes.LinkCount(node) > 1) marks += "  [" + Count(nodes.LinkCount(node)) + " names]";
  if (nodes.IsPlaceholder(node)) marks += "  [placeholder]";
  return marks;
}

std::string SizeWithBytes(std::uint64_t bytes) {
  return base::ToUtf8(app::FormatSize(kNumberLanguage, bytes)) + " (" + Count(bytes) + " bytes)";
}

// Where the drive's used space went, for a drive or image scan.
void AppendSpace(BufferedOutput& out, const core::VolumeSpace& space) {
  AppendLine(out, "Drive:    ", SizeWithBytes(space.volumeSize));
  AppendLine(out, "  used:        ", SizeWithBytes(space.usedSpace));
  AppendLine(out, "  free:        ", SizeWithBytes(space.freeSpace));
  AppendLine(out, "  files:       ", SizeWithBytes(space.filesOnDisk));
  AppendLine(out, "  metadata:    ", SizeWithBytes(space.metadata));
  AppendLine(out, "  unreadable:  ", SizeWithBytes(space.unreadable));
  AppendLine(out, "  unexplained: ", SizeWithBytes(space.unexplained));
}

}  // namespace

void WriteTextSummary(BufferedOutput& out, const app::FolderRankingModel& ranking) {
  const core::ScanResult& result = ranking.Result();
  const core::ScanNodes& nodes = result.nodes;
  const std::uint64_t totalSize =
      result.rootIndex < nodes.size() ? nodes.TotalSize(result.rootIndex) : 0;

  AppendLine(out, "Status:   ", core::ScanStatusName(result.status));
  AppendLine(out, "Engine:   ", core::ScanEngineKindName(result.engine));
  AppendLine(out, "Path:     ", Printable(result.rootPath));
  if (!result.message.empty()) AppendLine(out, "Message:  ", Printable(result.message));
  const std::uint64_t totalOnDisk =
      result.rootIndex < nodes.size() ? nodes.SizeOnDisk(result.rootIndex) : 0;
  AppendLine(out, "Size:     ", SizeWithBytes(totalSize));
  AppendLine(out, "On disk:  ", SizeWithBytes(totalOnDisk));
  if (result.space) AppendSpace(out, *result.space);
  AppendLine(out, "Files:    ", Count(result.fileCount));
  AppendLine(out, "Folders:  ", Count(result.folderCount));
  AppendLine(out, "Issues:   ", Count(result.issueCount));
  AppendLine(
      out, "Elapsed:  ",
      Count(static_cast<std::uint64_t>(result.elapsedMs < 0 ? 0 : result.elapsedMs)) + " ms");

  for (std::size_t i = 0; i < result.issues.size() && i < kIssuesShown; ++i) {
    AppendLine(out, "  error " + std::to_string(result.issues[i].errorCode) + ": ",
               Printable(result.issues[i].path));
  }
  if (result.issues.size() > kIssuesShown) {
    AppendLine(out, "  ... ", Count(result.issues.size() - kIssuesShown) + " more issues");
  }

  const char* order = ranking.Basis() == core::SizeBasis::OnDisk ? " (by size on disk)" : "";
  out.Append("\nLargest files");
  out.Append(order);
  out.Append(":\n");
  if (ranking.fileRows.empty()) out.Append("  (none)\n");
  if (!ranking.fileRows.empty() || !ranking.subfolderRows.empty()) out.Append(kColumnHeads);
  for (const app::RankingRow& row : ranking.fileRows) {
    AppendLine(out, SizeColumns(nodes, row.node), Printable(nodes.Path(row.node)) + FileMarks(nodes, row.node));
  }
  out.Append("\nLargest folders");
  out.Append(order);
  out.Append(":\n");
  if (ranking.subfolderRows.empty()) out.Append("  (none)\n");
  for (const app::RankingRow& row : ranking.subfolderRows) {
    const core::ScanNode node = nodes[row.node];
    AppendLine(out, SizeColumns(nodes, row.node),
               Printable(node.Path()) + "  (" + CountOf(node.FileCount(), "file", "files") + ", " +
                   CountOf(node.FolderCount(), "folder", "folders") + ")");
  }
}

}  // namespace ombrix::scan_tool
