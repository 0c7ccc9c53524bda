// ombrix-scan --json: one JSON object for a whole result. Names come from
// the file system and may hold anything Windows allows (quotes, control
// characters, unpaired surrogates), so every string is escaped and encoded
// here, straight into the output buffer.
#pragma once

#include <string_view>

#include "core/scan_model.h"
#include "tools/ombrix_scan/buffered_output.h"
#include "tools/ombrix_scan/top_ranking.h"

namespace ombrix::scan_tool {

// Appends text as a JSON string literal, quotes included: UTF-8, with '"',
// '\\' and control characters escaped and unpaired surrogates as U+FFFD.
void AppendJsonString(BufferedOutput& out, std::u16string_view text);

// The object, then a newline. `nodes` is written only when includeTree.
void WriteJsonReport(BufferedOutput& out, const core::ScanResult& result, const TopEntries& top,
                     bool includeTree);

}  // namespace ombrix::scan_tool
