#include "ui/dialogs/scan_settings_choice.h"

#include <algorithm>

namespace ombrix::ui {

ScanSettingsValues ScanSettingsValuesFrom(const app::AppSettings& settings) {
  return ScanSettingsValues{settings.threadsPerDrive, settings.maxThreadsPerDrive,
                            settings.showAdminPromptOnStartup, settings.suppressAdminPrompt,
                            settings.alwaysStartAsAdministrator};
}

void StoreScanSettingsValues(const ScanSettingsValues& values, app::AppSettings& settings) {
  settings.threadsPerDrive = values.threadsPerDrive;
  settings.showAdminPromptOnStartup = values.showAdminPromptOnStartup;
  settings.suppressAdminPrompt = values.suppressAdminPrompt;
  settings.alwaysStartAsAdministrator = values.alwaysStartAsAdministrator;
}

int InitialThreadSelection(const ScanSettingsValues& values) {
  const std::uint32_t current = values.threadsPerDrive == 0 ? 1 : values.threadsPerDrive;
  return static_cast<int>(std::min(current, values.maxThreadsPerDrive)) - 1;
}

ElevationBoxes CoupleElevationBoxes(bool askChecked, bool alwaysChecked) {
  if (alwaysChecked) return ElevationBoxes{false, false};
  return ElevationBoxes{askChecked, true};
}

bool AcceptScanSettings(int selection, bool askChecked, bool alwaysChecked,
                        ScanSettingsValues& values) {
  if (selection < 0 || static_cast<std::uint32_t>(selection) >= values.maxThreadsPerDrive) {
    return false;
  }
  values.threadsPerDrive = static_cast<std::uint32_t>(selection) + 1;
  if (alwaysChecked) {
    values.alwaysStartAsAdministrator = true;
    values.showAdminPromptOnStartup = false;
    values.suppressAdminPrompt = false;
  } else if (askChecked) {
    values.showAdminPromptOnStartup = true;
    values.suppressAdminPrompt = false;
    values.alwaysStartAsAdministrator = false;
  } else {
    values.showAdminPromptOnStartup = false;
    values.alwaysStartAsAdministrator = false;
  }
  return true;
}

}  // namespace ombrix::ui
