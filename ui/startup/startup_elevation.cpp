#include "ui/startup/startup_elevation.h"

namespace ombrix::ui {

StartupElevation DecideStartupElevation(bool processElevated, const app::AppSettings& settings) {
  if (processElevated) return StartupElevation::Continue;
  if (settings.alwaysStartAsAdministrator) return StartupElevation::Relaunch;
  if (!settings.showAdminPromptOnStartup || settings.suppressAdminPrompt) {
    return StartupElevation::Continue;
  }
  return StartupElevation::Ask;
}

bool ApplyStartupPromptAnswer(const StartupPromptAnswer& answer, app::AppSettings& settings) {
  if (!answer.dontShowAgain) return false;
  settings.showAdminPromptOnStartup = false;
  settings.suppressAdminPrompt = true;
  return true;
}

}  // namespace ombrix::ui
