#pragma once

#include <string>

namespace ombrix::core {

// Whether path is the root of a volume (C:\, or a folder another volume is
// mounted on): it equals the volume path Windows reports for it.
bool IsVolumeRoot(const std::u16string& path);

}  // namespace ombrix::core
