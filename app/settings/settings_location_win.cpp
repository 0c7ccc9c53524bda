#include "app/settings/settings_location_win.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "base/environment.h"
#include "base/win/extended_path_win.h"
#include "base/win/wide_string_win.h"

// MinGW-w64 ships no appmodel.h. The prototype is the documented one
// (appmodel.h, exported by kernel32 since Windows 8); a process outside a
// package gets APPMODEL_ERROR_NO_PACKAGE.
extern "C" __declspec(dllimport) LONG WINAPI
    GetCurrentPackageFamilyName(UINT32* packageFamilyNameLength, PWSTR packageFamilyName);

namespace ombrix::app {
namespace {

std::u16string KnownLocalAppDataFolder() {
  PWSTR folder = nullptr;
  const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder);
  // The shell allocates the text even for some failures; it is freed on
  // every way out.
  std::u16string path = SUCCEEDED(result) && folder != nullptr ? base::FromWide(folder) : u"";
  ::CoTaskMemFree(folder);
  return path;
}

}  // namespace

SettingsLocationQueries SystemSettingsLocationQueries() {
  SettingsLocationQueries queries;
  queries.moduleFileName = [](std::u16string& buffer) {
    return static_cast<std::uint32_t>(::GetModuleFileNameW(nullptr, base::WritableWide(buffer),
                                                           static_cast<DWORD>(buffer.size())));
  };
  queries.packageFamilyName = [](std::uint32_t& length, char16_t* buffer) {
    UINT32 units = length;
    const LONG result = ::GetCurrentPackageFamilyName(&units, reinterpret_cast<PWSTR>(buffer));
    length = units;
    return static_cast<std::uint32_t>(result);
  };
  queries.localAppDataVariable = [] {
    return base::ReadEnvironmentVariable(u"LOCALAPPDATA").value_or(std::u16string());
  };
  queries.knownLocalAppDataFolder = KnownLocalAppDataFolder;
  queries.pathStatus = [](const std::u16string& path) -> std::uint32_t {
    if (::GetFileAttributesW(base::WideView(base::ExtendedLengthPath(path))) !=
        INVALID_FILE_ATTRIBUTES) {
      return 0;
    }
    // A failure that names no error must still not read as "exists".
    const DWORD error = ::GetLastError();
    return static_cast<std::uint32_t>(error != ERROR_SUCCESS ? error : ERROR_GEN_FAILURE);
  };
  return queries;
}

SettingsStore SystemSettingsStore() {
  return SettingsStore(SettingsFilePath(SystemSettingsLocationQueries()), SystemSettingsFiles());
}

}  // namespace ombrix::app
