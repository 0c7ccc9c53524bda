// Whether a start offers or performs a restart with administrator rights,
// from the three elevation settings; and what the start-up prompt's
// "don't ask again" box changes.
#pragma once

#include "app/settings/app_settings.h"

namespace ombrix::ui {

enum class StartupElevation {
  Continue,  // already elevated, or the user does not want to be asked
  Relaunch,  // restart elevated at once, without asking
  Ask,       // show the start-up privilege dialog
};

StartupElevation DecideStartupElevation(bool processElevated, const app::AppSettings& settings);

// The start-up dialog's answer, either button or the close box.
struct StartupPromptAnswer {
  bool relaunchElevated = false;
  bool dontShowAgain = false;
};

// True when the settings changed and must be saved: the box was ticked,
// so the prompt stays away from now on, whichever button was used.
bool ApplyStartupPromptAnswer(const StartupPromptAnswer& answer, app::AppSettings& settings);

}  // namespace ombrix::ui
