// The settings file: one store per process, built at start-up, used on the
// window thread only. The file is read once and written only when a setting
// changes.
//
// A save never costs the user the settings already on disk: the new text
// goes to a temporary file beside the old one and replaces it in one step,
// so a save that fails at any point (a full disk, a crash, power loss,
// another instance saving at the same moment) leaves either the old file or
// the new one, never a torn mix.
#pragma once

#include <cstdint>
#include <string>
#include <thread>

#include "app/settings/app_settings.h"
#include "app/settings/settings_files.h"

namespace ombrix::app {

class SettingsStore {
 public:
  // settingsFilePath comes from SettingsFilePath (settings_location.h) and
  // stays fixed for the process's lifetime.
  SettingsStore(std::u16string settingsFilePath, SettingsFiles files,
                unsigned reportedHardwareThreads = std::thread::hardware_concurrency());

  // The file's settings, or the defaults for whatever the file does not
  // hold in a usable form; a missing or unreadable file gives the defaults.
  AppSettings LoadSettings() const;

  // Writes the record (its thread count normalised first), creating the
  // folder when needed. False when the folder cannot be created or the file
  // cannot be written completely; the old file is then untouched.
  bool SaveSettings(const AppSettings& settings) const;

  const std::u16string& settingsFilePath() const { return settingsFilePath_; }
  // At least 1; the scan settings dialog's upper bound.
  std::uint32_t hardwareThreads() const { return hardwareThreads_; }

 private:
  std::u16string settingsFilePath_;
  SettingsFiles files_;
  std::uint32_t hardwareThreads_;
};

}  // namespace ombrix::app
