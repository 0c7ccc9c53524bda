#include "ui/recent_folders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace ombrix::ui {

std::u16string ComparableFolderForm(const std::u16string& path) {
  const std::filesystem::path folder(path);
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, error);
  if (error) canonical = folder.lexically_normal();
  // "C:\Data\" and "C:\Data" name one folder; a root keeps its separator.
  if (!canonical.has_filename() && canonical.has_relative_path()) {
    canonical = canonical.parent_path();
  }
  return canonical.u16string();
}

bool AddRecentFolder(std::vector<std::u16string>& recentFolders, const std::u16string& path,
                     const EqualIgnoringCase& equalIgnoringCase) {
  if (path.empty()) return false;
  const std::u16string form = ComparableFolderForm(path);
  std::erase_if(recentFolders, [&](const std::u16string& entry) {
    return equalIgnoringCase(ComparableFolderForm(entry), form);
  });
  recentFolders.insert(recentFolders.begin(), path);
  if (recentFolders.size() > kRecentFoldersLimit) recentFolders.resize(kRecentFoldersLimit);
  return true;
}

}  // namespace ombrix::ui
