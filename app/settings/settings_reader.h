// Settings from the bytes of a settings file. Reading never fails: text
// that does not parse yields the defaults, and a value of the wrong kind
// leaves its field at the default, so one bad edit costs one setting rather
// than all of them.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/settings/app_settings.h"

namespace ombrix::app {

// The bytes are taken as they are: a byte-order mark is not skipped, so a
// file that starts with one reads as defaults.
AppSettings ReadSettingsText(std::string_view text, std::uint32_t hardwareThreads);

}  // namespace ombrix::app
