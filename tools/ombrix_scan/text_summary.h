// ombrix-scan without --json: a summary for people reading a console. Its
// words are English, but sizes and counts go through the window's
// formatters in the user's default number format, so the console and the
// window write the same numbers the same way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/compare/scan_comparison.h"
#include "app/ranking/folder_ranking_model.h"
#include "tools/ombrix_scan/buffered_output.h"

namespace ombrix::scan_tool {

// The pieces of the summary, for its sections written elsewhere: a line
// of label and value, a name or path with control characters shown as '?',
// a count and a size right-aligned to 12 characters in the user's number
// format, a count with its noun.
void AppendLine(BufferedOutput& out, std::string_view label, std::string_view value);
std::string Printable(std::u16string_view text);
std::string Count(std::uint64_t value);
std::string CountOf(std::uint64_t count, std::string_view one, std::string_view many);
std::string SizeColumn(std::uint64_t bytes);

// The model's result, its file rows as the largest files and its subfolder
// rows as the largest folders; with a comparison (--compare), the largest
// growths since the earlier scan.
void WriteTextSummary(BufferedOutput& out, const app::FolderRankingModel& ranking,
                      const app::ScanComparison* comparison = nullptr);

}  // namespace ombrix::scan_tool
