#pragma once

#include <string>

namespace ombrix::base {

// The running executable's full path (GetModuleFileNameW of the process's
// own module), empty when Windows cannot give it.
std::u16string GetExecutablePath();

}  // namespace ombrix::base
