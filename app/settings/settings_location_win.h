#pragma once

#include "app/settings/settings_location.h"
#include "app/settings/settings_store.h"

namespace ombrix::app {

// The location questions asked of Windows.
SettingsLocationQueries SystemSettingsLocationQueries();

// The process's store: its file where the location rules put it, the real
// files, the machine's thread count.
SettingsStore SystemSettingsStore();

}  // namespace ombrix::app
