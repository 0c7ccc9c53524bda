// Writing a file so that its old contents are never lost to a write that
// fails half-way (a full disk, a crash, power loss, another instance saving
// at the same moment): the new bytes go to a temporary file beside the
// target, which then takes the target's place in one step. Used for the
// settings and for saved scans.
#pragma once

#include <string>
#include <string_view>

#include "app/settings/settings_files.h"

namespace ombrix::app {

// True when path now holds bytes; false leaves path as it was and no
// temporary file behind.
bool WriteReplacing(const SettingsFiles& files, const std::u16string& path, std::string_view bytes);

}  // namespace ombrix::app
