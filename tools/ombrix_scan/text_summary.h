// ombrix-scan without --json: a summary for people reading a console. Its
// words are English, but sizes and counts go through the window's
// formatters in the user's default number format, so the console and the
// window write the same numbers the same way.
#pragma once

#include "core/scan_model.h"
#include "tools/ombrix_scan/buffered_output.h"
#include "tools/ombrix_scan/top_ranking.h"

namespace ombrix::scan_tool {

void WriteTextSummary(BufferedOutput& out, const core::ScanResult& result, const TopEntries& top);

}  // namespace ombrix::scan_tool
