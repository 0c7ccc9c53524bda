#include "app/settings/settings_location.h"

#include <algorithm>

#include "app/settings/settings_paths.h"
#include "base/growing_buffer.h"
#include "base/system_error_codes.h"

namespace ombrix::app {
namespace {

std::u16string LocalAppDataVariable(const SettingsLocationQueries& queries) {
  return queries.localAppDataVariable ? queries.localAppDataVariable() : std::u16string();
}

// Without LOCALAPPDATA (an elevated process started from some service or
// scheduler, a stripped environment) a relative path would land in the
// current directory, for an elevated process usually the system folder; the
// shell knows the folder without the variable.
std::u16string LocalAppDataFolder(const SettingsLocationQueries& queries) {
  std::u16string folder = LocalAppDataVariable(queries);
  if (folder.empty() && queries.knownLocalAppDataFolder) {
    folder = queries.knownLocalAppDataFolder();
  }
  return folder;
}

// Both "not found" errors (2, 3, 53, 64, 123, 161, 267) and errors that
// leave the question open (access denied on the folder) count as no marker:
// portable mode writes beside the executable, so it is entered only on a
// clear yes.
bool MarkerPresent(const SettingsLocationQueries& queries, const std::u16string& folder) {
  return queries.pathStatus &&
         queries.pathStatus(AppendPathComponent(folder, kPortableMarkerName)) == 0;
}

}  // namespace

std::u16string ExecutableFolder(const SettingsLocationQueries& queries) {
  if (!queries.moduleFileName) {
    return std::u16string();
  }
  const std::u16string module = base::ReadIntoGrowingBuffer(queries.moduleFileName);
  return module.empty() ? std::u16string() : ParentFolder(module);
}

std::u16string PackageLocalStateFolder(const SettingsLocationQueries& queries) {
  if (!queries.packageFamilyName) {
    return std::u16string();
  }
  std::uint32_t length = 0;
  if (queries.packageFamilyName(length, nullptr) != base::kErrorInsufficientBuffer || length == 0) {
    return std::u16string();
  }
  std::u16string family(length, u'\0');
  if (queries.packageFamilyName(length, family.data()) != 0) {
    return std::u16string();
  }
  family.resize(std::min<std::size_t>(family.find(u'\0'), family.size()));
  // Only the variable counts here: a package whose variable is unset is
  // treated as not packaged.
  const std::u16string localAppData = LocalAppDataVariable(queries);
  if (localAppData.empty()) {
    return std::u16string();
  }
  return AppendPathComponent(
      AppendPathComponent(AppendPathComponent(localAppData, u"Packages"), family), u"LocalState");
}

std::u16string SettingsFilePath(const SettingsLocationQueries& queries) {
  const std::u16string packageFolder = PackageLocalStateFolder(queries);
  if (!packageFolder.empty()) {
    return AppendPathComponent(packageFolder, kSettingsFileName);
  }
  const std::u16string executableFolder = ExecutableFolder(queries);
  if (MarkerPresent(queries, executableFolder)) {
    return AppendPathComponent(executableFolder, kSettingsFileName);
  }
  return AppendPathComponent(AppendPathComponent(LocalAppDataFolder(queries), u"Ombrix"),
                             kSettingsFileName);
}

}  // namespace ombrix::app
