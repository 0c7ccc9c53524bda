// The language files the program ships, as the build copies them beside
// this test's executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "base/text_encoding.h"
#include "i18n/language_environment.h"
#include "i18n/language_file.h"
#include "i18n/language_table.h"
#include "i18n/theme_palette.h"

namespace ombrix::i18n {
namespace {

// Every key the program looks up, the status keys nothing shows yet included.
std::set<std::string> ExpectedKeys() {
  const std::pair<std::string, std::vector<const char*>> groups[] = {
      {"toolbar.", {"scan", "cancel", "folder", "open"}},
      {"combo.", {"all_local_drives", "folder_prefix"}},
      {"menu.",
       {"file", "file.recent_folders", "file.exit", "settings", "settings.scan", "settings.theme",
        "settings.language", "help", "help.about", "none"}},
      {"language.", {"system"}},
      {"context.", {"open"}},
      {"column.",
       {"folder", "folders", "files", "file_name", "full_path", "size", "subtree_size", "share",
        "share_asc", "share_desc"}},
      {"status.",
       {"scanning_files", "folders", "files", "current", "completed", "cancelled", "access_denied",
        "elapsed", "ms", "ready", "folder_selected", "drop_folder", "recent_missing",
        "recent_unreachable", "save_failed", "select_ranking", "open_failed", "admin_cancelled",
        "admin_failed"}},
      {"dialog.startup.",
       {"title", "prompt", "admin.heading", "admin.description", "standard.heading",
        "standard.description", "dont_show_again"}},
      {"dialog.scan_settings.",
       {"title", "threads_per_drive", "range_prefix", "ask_admin", "always_admin",
        "invalid_threads"}},
      {"dialog.common.", {"ok", "cancel", "close"}},
      {"dialog.about.", {"title", "version_prefix", "license"}},
      {"dialog.folder.", {"title"}},
      // Sizes on disk.
      {"menu.settings.", {"sizes", "sizes.logical", "sizes.on_disk"}},
      {"column.", {"on_disk"}},
      {"mark.", {"names", "placeholder"}},
      {"status.", {"on_disk", "space", "space_parts", "found_of_used"}},
      // Saved scans.
      {"menu.file.", {"open_scan", "save_scan"}},
      {"dialog.scan_file.",
       {"open_title", "save_title", "all_scans", "ombrix_scans", "ncdu_exports", "all_files"}},
      {"status.",
       {"saved_scan", "saved_scan_undated", "scan_opening", "scan_saving", "scan_saved",
        "scan_save_failed", "scan_unreadable", "scan_not_a_scan", "scan_truncated",
        "scan_corrupted", "scan_newer", "scan_out_of_memory"}},
      // The find box.
      {"column.", {"last_written"}},
      {"find.", {"cue"}},
      {"status.", {"find_not_understood"}},
      // The File types list.
      {"column.", {"extension"}},
      {"types.", {"no_extension"}},
      {"menu.settings.", {"file_types"}},
      // Comparing scans.
      {"menu.file.", {"compare_scan", "compare_previous"}},
      {"dialog.scan_file.", {"compare_title"}},
      {"column.", {"change", "change_growth", "change_shrink"}},
      {"change.", {"added", "deleted", "with_files"}},
      {"status.", {"compared", "compared_undated", "scan_comparing", "no_previous_scan"}},
      // Kept scans.
      {"menu.settings.", {"keep_last_scans"}},
      {"status.", {"scan_keep_failed"}},
  };
  std::set<std::string> keys;
  for (const auto& [prefix, names] : groups) {
    for (const char* name : names) keys.insert(prefix + name);
  }
  for (std::u16string_view id : kThemeIds) keys.insert(ThemeCaptionKey(id));
  return keys;
}

// Words some languages borrow from English.
bool MayEqualEnglish(std::u16string_view locale, const std::string& key) {
  static const std::set<std::pair<std::u16string_view, std::string>> borrowed = {
      {u"it-IT", "menu.file"},
      {u"pl-PL", "toolbar.folder"},
      {u"pl-PL", "column.folder"},
      {u"pl-PL", "combo.folder_prefix"},
      {u"de-DE", "dialog.scan_file.all_scans"},
      {u"fr-FR", "column.extension"}};
  return key == "dialog.common.ok" || key == "status.ms" || key == "dialog.about.version_prefix" ||
         borrowed.contains({locale, key});
}

// A value follows these texts directly, so each ends in a no-break space
// (the reader trims a plain one) or a full-width colon.
bool RunsIntoAValue(const std::string& key) {
  static const std::set<std::string> keys = {
      "status.scanning_files", "status.folders",
      "status.files",          "status.current",
      "status.access_denied",  "status.elapsed",
      "combo.folder_prefix",   "dialog.about.version_prefix"};
  return keys.contains(key);
}

// The "{name}" fields a text has, which the program fills in: a
// translation must keep every one.
std::multiset<std::u16string> FieldsOf(std::u16string_view text) {
  std::multiset<std::u16string> fields;
  for (std::size_t open = text.find(u'{'); open != std::u16string_view::npos;
       open = text.find(u'{', open + 1)) {
    const std::size_t close = text.find(u'}', open);
    if (close == std::u16string_view::npos) break;
    fields.insert(std::u16string(text.substr(open, close - open + 1)));
  }
  return fields;
}

std::size_t Paragraphs(std::u16string_view text) {
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
    StringTable table = ReadLanguageFile(folder / (locale + u".txt"));
    for (const std::string& key : expected) {
      if (!table.contains(key)) ADD_FAILURE() << "missing " << key;
    }
    for (const auto& [key, text] : table) {
      if (!expected.contains(key) || !english.contains(key)) {
        ADD_FAILURE() << "extra " << key;
        continue;
      }
      const std::u16string& englishText = english.at(key);
      EXPECT_FALSE(text.empty() && !englishText.empty()) << "empty " << key;
      if (locale != u"en-US" && text == englishText && !MayEqualEnglish(locale, key)) {
        ADD_FAILURE() << "untranslated " << key;
      }
      if (FieldsOf(text) != FieldsOf(englishText)) ADD_FAILURE() << "fields differ in " << key;
      if (RunsIntoAValue(key) && !text.ends_with(u'\u00A0') && !text.ends_with(u'：')) {
        ADD_FAILURE() << "no space or colon before the value " << key;
      }
    }
    EXPECT_TRUE(table["status.ms"].starts_with(u'\u00A0'));
    EXPECT_EQ(Paragraphs(table["dialog.about.license"]),
              Paragraphs(english.at("dialog.about.license")));
  }
  EXPECT_GE(Paragraphs(english.at("dialog.about.license")), 3u);
}

}  // namespace
}  // namespace ombrix::i18n
