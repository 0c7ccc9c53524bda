// The one-line timing trace of MFT scans, switched on by the environment
// variable OMBRIX_MFT_TRACE and written to the standard error stream.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/mft/mft_scan_stats.h"

namespace ombrix::core {

inline constexpr char16_t kMftTraceVariable[] = u"OMBRIX_MFT_TRACE";

// On when the value exists, is 1 to 15 characters long (the Win32 read goes
// into a 16-character buffer, and a longer value does not fit) and does not
// start with '0'.
bool IsMftTraceEnabled(const std::optional<std::u16string>& value);

// The trace line, line feed included.
std::string FormatMftTrace(const MftScanStats& stats, std::int64_t totalMs);

// Reads the variable anew and writes the line when the trace is on.
void WriteMftTrace(const MftScanStats& stats, std::int64_t totalMs);

}  // namespace ombrix::core
