// The language files the program ships, as the build copies them beside
// this test's executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "base/text_encoding.h"
#include "i18n/language_environment.h"
#include "i18n/language_file.h"
#include "i18n/language_table.h"
#include "i18n/theme_palette.h"

namespace ombrix::i18n {
namespace {

std::set<std::string> ExpectedKeys() {
  // Grouped by where the window shows them.
  // clang-format off
  std::set<std::string> keys = {
      "toolbar.scan", "toolbar.cancel", "toolbar.folder", "toolbar.open",
      "combo.all_local_drives", "combo.folder_prefix",
      "menu.file", "menu.file.recent_folders", "menu.file.exit", "menu.settings",
      "menu.settings.scan", "menu.settings.theme", "menu.settings.language", "menu.help",
      "menu.help.about", "menu.none", "language.system",
      "context.open",
      "column.folder", "column.folders", "column.files", "column.file_name", "column.full_path",
      "column.size", "column.subtree_size", "column.share", "column.share_asc",
      "column.share_desc",
      "status.scanning_files", "status.folders", "status.files", "status.current",
      "status.completed", "status.cancelled", "status.access_denied", "status.elapsed",
      "status.ms",
      "status.ready", "status.folder_selected", "status.drop_folder", "status.recent_missing",
      "status.save_failed", "status.select_ranking", "status.open_failed",
      "status.admin_cancelled", "status.admin_failed",
      "dialog.startup.title", "dialog.startup.prompt", "dialog.startup.admin.heading",
      "dialog.startup.admin.description", "dialog.startup.standard.heading",
      "dialog.startup.standard.description", "dialog.startup.dont_show_again",
      "dialog.scan_settings.title", "dialog.scan_settings.threads_per_drive",
      "dialog.scan_settings.range_prefix", "dialog.scan_settings.ask_admin",
      "dialog.scan_settings.always_admin", "dialog.scan_settings.invalid_threads",
      "dialog.common.ok", "dialog.common.cancel",
      "dialog.about.title", "dialog.about.version_prefix", "dialog.about.license",
      "dialog.common.close",
      "dialog.folder.title",
  };
  // clang-format on
  for (std::u16string_view id : kThemeIds) keys.insert(ThemeCaptionKey(id));
  return keys;
}

// Texts that may read as in English: words other languages borrow.
bool MayEqualEnglish(std::u16string_view locale, const std::string& key) {
  static const std::set<std::string> anyLanguage = {"dialog.common.ok", "status.ms",
                                                    "dialog.about.version_prefix"};
  static const std::set<std::pair<std::u16string_view, std::string>> oneLanguage = {
      {u"it-IT", "menu.file"},
      {u"pl-PL", "toolbar.folder"},
      {u"pl-PL", "column.folder"},
      {u"pl-PL", "combo.folder_prefix"},
  };
  return anyLanguage.contains(key) || oneLanguage.contains({locale, key});
}

// The status line and the selector put a value straight after these texts,
// so each must end in a no-break space (trimming would eat a plain one) or
// in a full-width colon.
bool RunsIntoAValue(const std::string& key) {
  static const std::set<std::string> keys = {
      "status.scanning_files", "status.folders",
      "status.files",          "status.current",
      "status.access_denied",  "status.elapsed",
      "combo.folder_prefix",   "dialog.about.version_prefix"};
  return keys.contains(key);
}

std::size_t ParagraphCount(std::u16string_view text) {
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\u2029'));
}

TEST(LanguageFilesTest, EveryLanguageDefinesEveryKeyInItsOwnWords) {
  const std::filesystem::path folder =
      SystemLanguageEnvironment().executableFolder() / "resources" / "strings";
  const StringTable english = ReadLanguageFile(folder / "en-US.txt");
  const std::set<std::string> expected = ExpectedKeys();
  for (const LanguageInfo& language : kLanguages) {
    const std::u16string locale(language.locale);
    SCOPED_TRACE(base::ToUtf8(locale));
    const StringTable table = ReadLanguageFile(folder / (locale + u".txt"));
    for (const std::string& key : expected) {
      EXPECT_TRUE(table.contains(key)) << "missing " << key;
    }
    for (const auto& [key, text] : table) {
      if (!expected.contains(key)) {
        ADD_FAILURE() << "extra " << key;
        continue;
      }
      const std::u16string& englishText = english.at(key);
      EXPECT_FALSE(text.empty() && !englishText.empty()) << "empty " << key;
      if (locale != u"en-US" && text == englishText && !MayEqualEnglish(locale, key)) {
        ADD_FAILURE() << "untranslated " << key;
      }
      if (RunsIntoAValue(key)) {
        EXPECT_TRUE(text.ends_with(u'\u00A0') || text.ends_with(u'\uFF1A')) << key;
      }
    }
    if (table.contains("status.ms")) {
      EXPECT_TRUE(table.at("status.ms").starts_with(u'\u00A0'));
    }
    if (table.contains("dialog.about.license")) {
      EXPECT_EQ(ParagraphCount(table.at("dialog.about.license")),
                ParagraphCount(english.at("dialog.about.license")));
    }
  }
  EXPECT_GE(ParagraphCount(english.at("dialog.about.license")), 3u);
}

}  // namespace
}  // namespace ombrix::i18n
