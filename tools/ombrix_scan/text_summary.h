// ombrix-scan without --json: a summary for people reading a console. Its
// words are English, but sizes and counts go through the window's
// formatters in the user's default number format, so the console and the
// window write the same numbers the same way.
#pragma once

#include "app/compare/scan_comparison.h"
#include "app/ranking/folder_ranking_model.h"
#include "tools/ombrix_scan/buffered_output.h"

namespace ombrix::scan_tool {

// The model's result, its file rows as the largest files and its subfolder
// rows as the largest folders; with a comparison (--compare), the largest
// growths since the earlier scan.
void WriteTextSummary(BufferedOutput& out, const app::FolderRankingModel& ranking,
                      const app::ScanComparison* comparison = nullptr);

}  // namespace ombrix::scan_tool
