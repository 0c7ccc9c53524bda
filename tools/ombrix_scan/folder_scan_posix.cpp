#include "tools/ombrix_scan/folder_scan.h"

namespace ombrix::scan_tool {

ScanOutcome ScanFolders(const ScanRequest&, core::ScanCancellationToken&,
                        const core::ProgressCallback&) {
  return {std::nullopt,
          "scanning folders needs Windows: this native build of ombrix-scan can only scan NTFS "
          "volume images (--image)"};
}

}  // namespace ombrix::scan_tool
