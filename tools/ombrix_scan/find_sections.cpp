#include "tools/ombrix_scan/find_sections.h"

#include <string>

#include "app/find/file_time_text.h"
#include "app/number_format.h"
#include "base/text_encoding.h"
#include "tools/ombrix_scan/json_report.h"
#include "tools/ombrix_scan/text_summary.h"

namespace ombrix::scan_tool {
namespace {

std::string ShareText(double percent) {
  std::u16string text = app::FormatShare(u"system", percent);
  if (text.size() < 8) text.insert(0, 8 - text.size(), u' ');
  return base::ToUtf8(text);
}

}  // namespace

FindSections MakeFindSections(const ScanRequest& request, const core::ScanResult& result,
                              std::uint64_t ranked, core::SizeBasis basis) {
  FindSections sections;
  sections.basis = basis;
  if (request.types) sections.types = app::BreakDownFileTypes(result, ranked, basis);
  if (request.find) {
    app::FindCriteria criteria;
    criteria.pattern = app::NamePattern::Parse(*request.find);
    criteria.minimumSize = request.minSize.value_or(0);
    if (request.modifiedBefore) {
      criteria.writtenBefore = app::FileTimeAtUtcMidnight(*request.modifiedBefore);
    }
    sections.found = app::FindFiles(result, ranked, criteria, basis, request.topCount);
  }
  return sections;
}

void WriteJsonFindSections(BufferedOutput& out, const core::ScanNodes& nodes,
                           const FindSections& sections) {
  if (sections.types) {
    out.Append(",\n");
    AppendArray(out, "types", sections.types->rows, [&](const app::FileTypeRow& row) {
      AppendStringField(out, "extension", row.extension);
      out.Append(',');
      AppendNumberField(out, "size", row.size);
      out.Append(',');
      AppendNumberField(out, "sizeOnDisk", row.sizeOnDisk);
      out.Append(',');
      AppendNumberField(out, "fileCount", row.fileCount);
    });
  }
  if (sections.found) {
    out.Append(",\n");
    AppendNumberField(out, "foundCount", sections.found->count);
    out.Append(',');
    AppendNumberField(out, "foundSize", sections.found->size);
    out.Append(",\n");
    core::PathMaker paths(nodes);
    AppendArray(out, "found", sections.found->largest, [&](std::uint32_t node) {
      AppendStringField(out, "path", paths.PathOf(node));
      out.Append(',');
      AppendNumberField(out, "size", nodes.OwnSize(node));
      out.Append(',');
      AppendNumberField(out, "sizeOnDisk", nodes.SizeOnDisk(node));
      out.Append(',');
      AppendNumberField(out, "lastWriteTime", nodes.LastWriteTime(node));
    });
  }
}

void WriteTextFindSections(BufferedOutput& out, const core::ScanNodes& nodes,
                           const FindSections& sections, std::uint64_t topCount) {
  if (sections.types) {
    const app::FileTypeBreakdown& types = *sections.types;
    out.Append("\nFile types (size, on disk, share, files):\n");
    if (types.rows.empty()) out.Append("  (none)\n");
    for (std::size_t r = 0; r < types.rows.size() && r < topCount; ++r) {
      const app::FileTypeRow& row = types.rows[r];
      AppendLine(out,
                 SizeColumn(row.size) + SizeColumn(row.sizeOnDisk) +
                     ShareText(app::ShareOfType(types, row, sections.basis)) + "  ",
                 (row.extension.empty() ? std::string("(no extension)")
                                        : Printable(row.extension)) +
                     "  (" + CountOf(row.fileCount, "file", "files") + ")");
    }
    if (types.rows.size() > topCount) {
      AppendLine(out, "  ... ", Count(types.rows.size() - topCount) + " more types");
    }
  }
  if (sections.found) {
    const app::FileMatches& found = *sections.found;
    AppendLine(out, "\nFound: ",
               CountOf(found.count, "file", "files") + ", " +
                   base::ToUtf8(app::FormatSize(u"system", found.size)) +
                   " (size, on disk, last written UTC):");
    for (const std::uint32_t node : found.largest) {
      std::u16string written = app::FileTimeText(nodes.LastWriteTime(node));
      written.resize(16, u' ');
      AppendLine(out,
                 SizeColumn(nodes.OwnSize(node)) + SizeColumn(nodes.SizeOnDisk(node)) + "  " +
                     base::ToUtf8(written) + "  ",
                 Printable(nodes.Path(node)));
    }
  }
}

}  // namespace ombrix::scan_tool
