// Where the settings file lives, decided once when the store is built:
//   1. a packaged process: <LOCALAPPDATA>\Packages\<family>\LocalState;
//   2. an "ombrix.portable" file or folder beside the executable: there;
//   3. otherwise <local application data>\Ombrix.
// Nothing here creates a folder or a file; the first save does.
//
// The questions asked of Windows sit behind SettingsLocationQueries so that
// every rule runs on made-up answers natively;
// SystemSettingsLocationQueries (settings_location_win.h) asks for real.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ombrix::app {

inline constexpr char16_t kSettingsFileName[] = u"ombrix.settings.json";
inline constexpr char16_t kPortableMarkerName[] = u"ombrix.portable";

struct SettingsLocationQueries {
  // GetModuleFileNameW for the process's own module into buffer (sized by
  // the caller): the units copied without the terminator, buffer.size()
  // when the path was cut short, 0 on failure.
  std::function<std::uint32_t(std::u16string& buffer)> moduleFileName;
  // GetCurrentPackageFamilyName: returns a Win32 error code and sets length
  // to the units needed, terminator included; buffer may be null when
  // length is 0.
  std::function<std::uint32_t(std::uint32_t& length, char16_t* buffer)> packageFamilyName;
  // The LOCALAPPDATA environment variable; empty when unset.
  std::function<std::u16string()> localAppDataVariable;
  // The shell's own answer for the local application-data folder; empty
  // when it has none.
  std::function<std::u16string()> knownLocalAppDataFolder;
  // 0 when a file or folder exists at path, otherwise the Win32 error the
  // status query gave.
  std::function<std::uint32_t(const std::u16string& path)> pathStatus;
};

// The folder of the running executable; empty when it cannot be found.
std::u16string ExecutableFolder(const SettingsLocationQueries& queries);

// The package's LocalState folder; empty when the process is not packaged.
std::u16string PackageLocalStateFolder(const SettingsLocationQueries& queries);

std::u16string SettingsFilePath(const SettingsLocationQueries& queries);

}  // namespace ombrix::app
