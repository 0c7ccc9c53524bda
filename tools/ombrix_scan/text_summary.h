// ombrix-scan without --json: a summary for people reading a console.
#pragma once

#include <cstdint>
#include <string>

#include "core/scan_model.h"
#include "tools/ombrix_scan/buffered_output.h"
#include "tools/ombrix_scan/top_ranking.h"

namespace ombrix::scan_tool {

// "1,234,567"
std::string GroupThousands(std::uint64_t value);
// "512 bytes", "1.5 KiB", "3.2 GiB": one decimal, binary units.
std::string HumanSize(std::uint64_t bytes);

void WriteTextSummary(BufferedOutput& out, const core::ScanResult& result, const TopEntries& top);

}  // namespace ombrix::scan_tool
