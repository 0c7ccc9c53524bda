#pragma once

#include <string>

namespace ombrix::core {

// True when the MFT engine may scan path on a live volume: the path lies on
// an NTFS volume mounted as a drive letter whose device opens for raw
// reading (which needs administrator rights). Opens and closes one handle.
bool IsNtfsMftScanAvailable(const std::u16string& path);

}  // namespace ombrix::core
