// The scan settings dialog's rules, apart from its window: which thread
// count starts selected, how the two elevation boxes hang together and
// what accepting writes back.
#pragma once

#include <cstdint>

#include "app/settings/app_settings.h"

namespace ombrix::ui {

// The dialog's copy of the settings it edits.
struct ScanSettingsValues {
  std::uint32_t threadsPerDrive = 1;
  std::uint32_t maxThreadsPerDrive = 1;
  bool showAdminPromptOnStartup = true;
  bool suppressAdminPrompt = false;
  bool alwaysStartAsAdministrator = false;
};

ScanSettingsValues ScanSettingsValuesFrom(const app::AppSettings& settings);
void StoreScanSettingsValues(const ScanSettingsValues& values, app::AppSettings& settings);

// The combo box item (0-based) for the current count: a count above the
// maximum shows the maximum, a count of 0 shows 1.
int InitialThreadSelection(const ScanSettingsValues& values);

// "Always start as administrator" makes the question pointless, so while it
// is ticked the "ask at start-up" box is cleared and greyed out.
struct ElevationBoxes {
  bool askChecked = false;
  bool askEnabled = true;
};
ElevationBoxes CoupleElevationBoxes(bool askChecked, bool alwaysChecked);

// The OK button: false (values untouched) when `selection` is no item of
// the list; otherwise stores the count and the elevation choice.
bool AcceptScanSettings(int selection, bool askChecked, bool alwaysChecked,
                        ScanSettingsValues& values);

}  // namespace ombrix::ui
