#include "app/settings/settings_store.h"

#include <utility>

#include "app/settings/replacing_write.h"
#include "app/settings/settings_paths.h"
#include "app/settings/settings_reader.h"
#include "app/settings/settings_serializer.h"

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
  return WriteReplacing(files_, settingsFilePath_, SerializeSettings(normalized));
}

}  // namespace ombrix::app
