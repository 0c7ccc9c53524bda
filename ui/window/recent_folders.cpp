#include "ui/window/recent_folders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace ombrix::ui {
namespace {

// "C:\Data\" and "C:\Data" name one folder; a root keeps its separator.
std::u16string WithoutTrailingSeparator(std::filesystem::path folder) {
  if (!folder.has_filename() && folder.has_relative_path()) folder = folder.parent_path();
  return folder.u16string();
}

}  // namespace

std::u16string LexicalFolderForm(const std::u16string& path) {
  return WithoutTrailingSeparator(std::filesystem::path(path).lexically_normal());
}

std::u16string ComparableFolderForm(const std::u16string& path) {
  const std::filesystem::path folder(path);
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(folder, error);
  if (error) canonical = folder.lexically_normal();
  return WithoutTrailingSeparator(std::move(canonical));
}

FolderForm KnownFolderForms(std::map<std::u16string, std::u16string> forms) {
  return [forms = std::move(forms)](const std::u16string& path) {
    const auto found = forms.find(path);
    return found != forms.end() ? found->second : LexicalFolderForm(path);
  };
}

bool AddRecentFolder(std::vector<std::u16string>& recentFolders, const std::u16string& path,
                     const FolderForm& formOf, const EqualIgnoringCase& equalIgnoringCase) {
  if (path.empty()) return false;
  const std::u16string form = formOf(path);
  std::erase_if(recentFolders, [&](const std::u16string& entry) {
    return equalIgnoringCase(formOf(entry), form);
  });
  recentFolders.insert(recentFolders.begin(), path);
  if (recentFolders.size() > kRecentFoldersLimit) recentFolders.resize(kRecentFoldersLimit);
  return true;
}

}  // namespace ombrix::ui
