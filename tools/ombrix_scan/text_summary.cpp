#include "tools/ombrix_scan/text_summary.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

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

std::string SignedCount(std::int64_t value) {
  const std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  return (value < 0 ? "-" : "+") + Count(magnitude);
}

// The files and folders of the whole tree that grew most since the earlier
// scan (a folder's growth includes what grew below it), then what is gone.
void AppendGrowths(BufferedOutput& out, const app::FolderRankingModel& ranking,
                   const app::ScanComparison& comparison) {
  const core::ScanNodes& nodes = ranking.Result().nodes;
  std::vector<std::uint64_t> grown;
  for (std::uint64_t i = 0; i < nodes.size(); ++i) {
    if (i != ranking.Result().rootIndex && comparison.changes[i].bytes > 0) grown.push_back(i);
  }
  const std::size_t shown = std::min<std::size_t>(grown.size(), app::kRankingLength);
  std::partial_sort(grown.begin(), grown.begin() + static_cast<std::ptrdiff_t>(shown), grown.end(),
                    [&](std::uint64_t a, std::uint64_t b) {
                      return comparison.changes[a].bytes > comparison.changes[b].bytes;
                    });
  out.Append("\nLargest growths:\n");
  if (shown == 0) out.Append("  (none)\n");
  for (std::size_t k = 0; k < shown; ++k) {
    const app::NodeChange& change = comparison.changes[grown[k]];
    std::u16string size = app::FormatSize(kNumberLanguage, static_cast<std::uint64_t>(change.bytes));
    size.insert(0, 1, u'+');
    if (size.size() < 12) size.insert(0, 12 - size.size(), u' ');
    std::string note = change.kind == app::ChangeKind::Added ? "new" : "";
    if (change.files != 0) {
      note += (note.empty() ? "" : ", ") + SignedCount(change.files) +
              (change.files == 1 || change.files == -1 ? " file" : " files");
    }
    AppendLine(out, base::ToUtf8(size) + "  ",
               Printable(nodes.Path(grown[k])) + (note.empty() ? "" : "  (" + note + ")"));
  }
  std::uint64_t deletedBytes = 0;
  for (const app::DeletedNode& gone : comparison.deleted) deletedBytes += gone.bytes;
  AppendLine(out, "Deleted:  ",
             CountOf(comparison.deleted.size(), "file or folder", "files or folders") + ", " +
                 base::ToUtf8(app::FormatSize(kNumberLanguage, deletedBytes)));
}

}  // namespace

void WriteTextSummary(BufferedOutput& out, const app::FolderRankingModel& ranking,
                      const app::ScanComparison* comparison) {
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
  if (comparison != nullptr) AppendGrowths(out, ranking, *comparison);
}

}  // namespace ombrix::scan_tool
