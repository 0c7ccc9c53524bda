// Scanning folders and drives: through the scheduler on Windows, exactly as
// the window's scans run; refused in the native build, whose scanning of
// folders would have no Win32 to read them with.
#pragma once

#include "tools/ombrix_scan/scan_dispatch.h"

namespace ombrix::scan_tool {

ScanOutcome ScanFolders(const ScanRequest& request, core::ScanCancellationToken& token,
                        const core::ProgressCallback& progress);

}  // namespace ombrix::scan_tool
