// Restarting with administrator rights: the "runas" launch that shows the
// system's consent prompt.
#pragma once

#include <windows.h>

#include <string>

namespace ombrix::ui {

// Starts the executable again through the "runas" verb, without arguments.
// ERROR_SUCCESS when the new instance was started, ERROR_CANCELLED (1223)
// when the user declined the consent prompt, another error otherwise.
DWORD LaunchElevated(const std::u16string& executablePath);

}  // namespace ombrix::ui
