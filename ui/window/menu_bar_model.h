// What the menu bar holds, as data: File (open and save a scan, recent
// folders, Exit), Settings (scan settings, themes, languages, keeping the
// last scans) and Help
// (About), with their texts in the current language and the check marks of
// the current theme and language. The window turns it into a Win32 menu (menu_bar_win.h) and
// rebuilds it whole after a language or theme change.
#pragma once

#include <string>
#include <vector>

#include "app/settings/app_settings.h"
#include "i18n/language_strings.h"

namespace ombrix::ui {

struct MenuEntry {
  enum class Kind { Command, Separator, Submenu };

  Kind kind = Kind::Command;
  std::u16string text;
  int id = 0;  // commands only
  bool checked = false;
  bool disabled = false;
  // The recent-folders submenu, whose items the window replaces whenever
  // the recent list changes.
  bool recentFolders = false;
  std::vector<MenuEntry> items;  // submenus only
};

// fileTypesShown checks Settings > File types.
std::vector<MenuEntry> MenuBarModel(i18n::LanguageStrings& language,
                                    const app::AppSettings& settings,
                                    bool fileTypesShown = false);

// "&1 C:\Data", "&2 D:\Photos", ... (at most 16; keys 1 to 9 and 0, a "&" of
// a path doubled so the menu shows it), or one disabled "(none)".
std::vector<MenuEntry> RecentFolderEntries(i18n::LanguageStrings& language,
                                           const std::vector<std::u16string>& recentFolders);

}  // namespace ombrix::ui
