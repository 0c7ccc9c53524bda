#include "app/status_text.h"

#include <algorithm>

#include "app/find/file_time_text.h"
#include "app/number_format.h"

namespace ombrix::app {

namespace {

constexpr std::u16string_view kItemSeparator = u", ";
constexpr std::u16string_view kAfterOutcome = u" - ";

// The text of key with each "{name}" of fields replaced by its value;
// translations put the values where their language wants them.
std::u16string FillIn(i18n::LanguageStrings& strings, std::string_view key,
                      std::initializer_list<std::pair<std::u16string_view, std::u16string>> fields) {
  std::u16string text = strings.Translate(key);
  for (const auto& [name, value] : fields) {
    if (const auto at = text.find(name); at != std::u16string::npos) {
      text.replace(at, name.size(), value);
    }
  }
  return text;
}

// What the scan found on disk; for a whole drive beside its used space,
// with the difference named.
std::u16string SpaceText(const core::ScanResult& result, i18n::LanguageStrings& strings,
                         const LocaleQueries& locale) {
  const std::u16string& setting = strings.Setting();
  const auto size = [&](std::uint64_t bytes) { return FormatSize(setting, bytes, locale); };
  if (!result.space) {
    return FillIn(strings, "status.on_disk", {{u"{found}", size(result.nodes.SizeOnDisk(result.rootIndex))}});
  }
  const core::VolumeSpace& space = *result.space;
  std::u16string text = FillIn(strings, "status.space",
                               {{u"{found}", size(space.filesOnDisk)}, {u"{used}", size(space.usedSpace)}});
  text += kItemSeparator;
  text += FillIn(strings, "status.space_parts",
                 {{u"{metadata}", size(space.metadata)},
                  {u"{unreadable}", size(space.unreadable)},
                  {u"{unexplained}", size(space.unexplained)}});
  return text;
}

}  // namespace

std::u16string ProgressText(const core::ScanProgress& progress, i18n::LanguageStrings& strings,
                            const LocaleQueries& locale, std::optional<std::uint64_t> usedSpace) {
  const std::u16string& setting = strings.Setting();
  std::u16string text = strings.Translate("status.scanning_files");
  text += FormatCount(setting, progress.filesScanned, locale);
  text += kItemSeparator;
  text += strings.Translate("status.folders");
  text += FormatCount(setting, progress.foldersScanned, locale);
  if (usedSpace) {
    const double percent =
        *usedSpace == 0 ? 100.0
                        : std::min(100.0, 100.0 * static_cast<double>(progress.bytesOnDisk) /
                                              static_cast<double>(*usedSpace));
    text += kItemSeparator;
    text += FillIn(strings, "status.found_of_used",
                   {{u"{found}", FormatSize(setting, progress.bytesOnDisk, locale)},
                    {u"{used}", FormatSize(setting, *usedSpace, locale)},
                    {u"{percent}", FormatShare(setting, percent, locale)}});
  }
  if (!progress.currentPath.empty()) {
    text += kItemSeparator;
    text += strings.Translate("status.current");
    text += progress.currentPath;
  }
  return text;
}

std::u16string ProgressText(ApplicationController& controller, i18n::LanguageStrings& strings,
                            const LocaleQueries& locale, std::optional<std::uint64_t> usedSpace) {
  return ProgressText(controller.LatestProgress(), strings, locale, usedSpace);
}

std::u16string CompletionText(const core::ScanResult& result, i18n::LanguageStrings& strings,
                              const LocaleQueries& locale) {
  const std::u16string& setting = strings.Setting();
  const std::uint64_t elapsedMs = result.elapsedMs < 0 ? 0 : result.elapsedMs;
  std::u16string text = strings.Translate(
      result.status == core::ScanStatus::Cancelled ? "status.cancelled" : "status.completed");
  text += kAfterOutcome;
  text += strings.Translate("status.files");
  text += FormatCount(setting, result.fileCount, locale);
  text += kItemSeparator;
  text += strings.Translate("status.folders");
  text += FormatCount(setting, result.folderCount, locale);
  text += kItemSeparator;
  text += strings.Translate("status.access_denied");
  text += FormatCount(setting, result.issueCount, locale);
  text += kItemSeparator;
  text += strings.Translate("status.elapsed");
  text += FormatCount(setting, elapsedMs, locale);
  text += strings.Translate("status.ms");
  if (result.rootIndex < result.nodes.size()) {
    text += kItemSeparator;
    text += SpaceText(result, strings, locale);
  }
  // The engine's account of a failure is a fixed English sentence; it goes
  // after the line the user's language already gives.
  if (result.status == core::ScanStatus::Failed && !result.message.empty()) {
    text += kAfterOutcome;
    text += result.message;
  }
  return text;
}

std::u16string OpenedScanText(const core::ScanResult& result, std::uint64_t localScanTime,
                              i18n::LanguageStrings& strings, const LocaleQueries& locale) {
  // An export from elsewhere may carry no date.
  std::u16string text =
      localScanTime == 0
          ? FillIn(strings, "status.saved_scan_undated", {{u"{root}", result.rootPath}})
          : FillIn(strings, "status.saved_scan",
                   {{u"{root}", result.rootPath}, {u"{date}", FileTimeText(localScanTime)}});
  text += kAfterOutcome;
  text += CompletionText(result, strings, locale);
  return text;
}

std::u16string ComparedText(std::u16string_view earlierRoot, std::uint64_t localScanTime,
                            i18n::LanguageStrings& strings) {
  const std::u16string root(earlierRoot);
  std::u16string text =
      localScanTime == 0
          ? FillIn(strings, "status.compared_undated", {{u"{root}", root}})
          : FillIn(strings, "status.compared",
                   {{u"{root}", root}, {u"{date}", FileTimeText(localScanTime)}});
  text += kAfterOutcome;
  return text;
}

}  // namespace ombrix::app
