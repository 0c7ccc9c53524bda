#include "app/settings/settings_store.h"

#include <utility>

#include "app/settings/settings_paths.h"
#include "app/settings/settings_reader.h"
#include "app/settings/settings_serializer.h"
#include "base/text_encoding.h"

namespace ombrix::app {

SettingsStore::SettingsStore(std::u16string settingsFilePath, SettingsFiles files,
                             unsigned reportedHardwareThreads)
    : settingsFilePath_(std::move(settingsFilePath)),
      files_(std::move(files)),
      hardwareThreads_(HardwareThreadsFrom(reportedHardwareThreads)) {}

AppSettings SettingsStore::LoadSettings() const {
  std::string bytes;
  if (!files_.readFile(settingsFilePath_, bytes)) {
    return DefaultSettings(hardwareThreads_);
  }
  return ReadSettingsText(bytes, hardwareThreads_);
}

bool SettingsStore::SaveSettings(const AppSettings& settings) const {
  AppSettings normalized = settings;
  NormalizeSettings(normalized, hardwareThreads_);
  const std::u16string folder = ParentFolder(settingsFilePath_);
  if (folder.empty() || !files_.createFolders(folder)) {
    return false;
  }
  // Beside the target, so the replacing rename stays on one volume.
  const std::u16string temporaryPath =
      settingsFilePath_ + u'.' + base::FromUtf8(std::to_string(files_.processId)) + u".tmp";
  if (files_.writeFile(temporaryPath, SerializeSettings(normalized)) &&
      files_.replaceFile(temporaryPath, settingsFilePath_)) {
    return true;
  }
  files_.removeFile(temporaryPath);
  return false;
}

}  // namespace ombrix::app
