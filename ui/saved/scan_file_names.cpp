#include "ui/saved/scan_file_names.h"

#include "app/find/file_time_text.h"
#include "app/saved/saved_scan_format.h"
#include "base/name_case.h"

namespace ombrix::ui {
namespace {

bool EndsWithFolded(std::u16string_view text, std::u16string_view ending) {
  return text.size() >= ending.size() &&
         base::CompareFolded(text.substr(text.size() - ending.size()), ending) == 0;
}

bool FitsAFileName(char16_t unit) {
  return unit >= 0x20 && std::u16string_view(u"<>:\"/\\|?*").find(unit) == std::u16string_view::npos;
}

}  // namespace

bool IsScanFileName(std::u16string_view path) {
  return EndsWithFolded(path, app::kSavedScanExtension) || EndsWithFolded(path, u".json");
}

std::u16string SuggestedScanFileName(std::u16string_view rootPath, std::uint64_t localScanTime) {
  while (!rootPath.empty() && (rootPath.back() == u'\\' || rootPath.back() == u'/')) {
    rootPath.remove_suffix(1);
  }
  const std::size_t slash = rootPath.find_last_of(u"\\/");
  std::u16string_view last = slash == std::u16string_view::npos ? rootPath : rootPath.substr(slash + 1);
  if (last.size() == 2 && last[1] == u':') last.remove_suffix(1);  // a drive: its letter
  std::u16string name;
  for (const char16_t unit : last) name += FitsAFileName(unit) ? unit : u'_';
  // "2026-12-07 09:30": the day only.
  const std::u16string day = app::FileTimeText(localScanTime).substr(0, 10);
  if (!day.empty()) name += (name.empty() ? u"" : u" ") + day;
  if (name.empty()) name = u"Ombrix";
  return name + app::kSavedScanExtension;
}

}  // namespace ombrix::ui
