// ombrix-scan --json: one JSON object for a whole result. Names come from
// the file system and may hold anything Windows allows (quotes, control
// characters, unpaired surrogates), so every string is escaped and encoded
// here, straight into the output buffer.
#pragma once

#include <string_view>

#include "app/compare/scan_comparison.h"
#include "app/ranking/folder_ranking_model.h"
#include "tools/ombrix_scan/buffered_output.h"

namespace ombrix::scan_tool {

// Appends text as a JSON string literal, quotes included: UTF-8, with '"',
// '\\' and control characters escaped and unpaired surrogates as U+FFFD.
void AppendJsonString(BufferedOutput& out, std::u16string_view text);

// The object, then a newline: the model's result, with its file rows as
// topFiles and its subfolder rows as topFolders. `nodes` is written only
// when includeTree. With a comparison (--compare), every node and row gains
// "change" and the nodes gone since the earlier scan are listed as
// "deleted".
void WriteJsonReport(BufferedOutput& out, const app::FolderRankingModel& ranking, bool includeTree,
                     const app::ScanComparison* comparison = nullptr);

}  // namespace ombrix::scan_tool
