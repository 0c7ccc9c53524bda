// ombrix-scan without --json: a summary for people reading a console.
#pragma once

#include <cstdint>
#include <string>

#include "app/ranking/folder_ranking_model.h"
#include "tools/ombrix_scan/buffered_output.h"

namespace ombrix::scan_tool {

// "1,234,567"
std::string GroupThousands(std::uint64_t value);
// "512 bytes", "1.5 KiB", "3.2 GiB": one decimal, binary units.
std::string HumanSize(std::uint64_t bytes);

// The model's result, its file rows as the largest files and its subfolder
// rows as the largest folders.
void WriteTextSummary(BufferedOutput& out, const app::FolderRankingModel& ranking);

}  // namespace ombrix::scan_tool
