#include "app/status_text.h"

#include "app/number_format.h"

namespace ombrix::app {

namespace {

constexpr std::u16string_view kItemSeparator = u", ";
constexpr std::u16string_view kAfterOutcome = u" - ";

}  // namespace

std::u16string ProgressText(const core::ScanProgress& progress, i18n::LanguageStrings& strings,
                            const LocaleQueries& locale) {
  const std::u16string& setting = strings.Setting();
  std::u16string text = strings.Translate("status.scanning_files");
  text += FormatCount(setting, progress.filesScanned, locale);
  text += kItemSeparator;
  text += strings.Translate("status.folders");
  text += FormatCount(setting, progress.foldersScanned, locale);
  if (!progress.currentPath.empty()) {
    text += kItemSeparator;
    text += strings.Translate("status.current");
    text += progress.currentPath;
  }
  return text;
}

std::u16string ProgressText(ApplicationController& controller, i18n::LanguageStrings& strings,
                            const LocaleQueries& locale) {
  return ProgressText(controller.LatestProgress(), strings, locale);
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
  // The engine's account of a failure is a fixed English sentence; it goes
  // after the line the user's language already gives.
  if (result.status == core::ScanStatus::Failed && !result.message.empty()) {
    text += kAfterOutcome;
    text += result.message;
  }
  return text;
}

}  // namespace ombrix::app
