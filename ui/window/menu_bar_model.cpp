#include "ui/window/menu_bar_model.h"

#include <algorithm>
#include <string>

#include "i18n/language_table.h"
#include "i18n/theme_palette.h"
#include "ui/common/control_ids.h"

namespace ombrix::ui {
namespace {

MenuEntry Command(std::u16string text, int id, bool checked = false) {
  MenuEntry entry;
  entry.text = std::move(text);
  entry.id = id;
  entry.checked = checked;
  return entry;
}

MenuEntry Separator() {
  MenuEntry entry;
  entry.kind = MenuEntry::Kind::Separator;
  return entry;
}

MenuEntry Submenu(std::u16string text, std::vector<MenuEntry> items) {
  MenuEntry entry;
  entry.kind = MenuEntry::Kind::Submenu;
  entry.text = std::move(text);
  entry.items = std::move(items);
  return entry;
}

std::u16string Decimal(std::size_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// Menus take "&" as the mark of the next letter's key, so a path's own "&"
// ("C:\R&D") is doubled to be shown at all.
std::u16string WithoutMnemonics(const std::u16string& text) {
  std::u16string escaped;
  escaped.reserve(text.size());
  for (const char16_t unit : text) {
    if (unit == u'&') escaped += u'&';
    escaped += unit;
  }
  return escaped;
}

// "&1" to "&9", then "1&0" for the tenth (its key is 0), plain numbers after.
std::u16string RecentFolderNumber(std::size_t number) {
  if (number < 10) return u"&" + Decimal(number);
  if (number == 10) return u"1&0";
  return Decimal(number);
}

std::vector<MenuEntry> ThemeEntries(i18n::LanguageStrings& language,
                                    const app::AppSettings& settings) {
  std::vector<MenuEntry> entries;
  for (std::size_t index = 0; index < i18n::kThemeIds.size(); ++index) {
    const std::u16string_view id = i18n::kThemeIds[index];
    entries.push_back(Command(language.Translate(i18n::ThemeCaptionKey(id)),
                              kFirstThemeCommand + static_cast<int>(index), settings.theme == id));
  }
  return entries;
}

std::vector<MenuEntry> SizeEntries(i18n::LanguageStrings& language,
                                   const app::AppSettings& settings) {
  const bool onDisk = settings.sizeBasis == core::SizeBasis::OnDisk;
  return {Command(language.Translate("menu.settings.sizes.logical"), kLogicalSizesCommand, !onDisk),
          Command(language.Translate("menu.settings.sizes.on_disk"), kSizesOnDiskCommand, onDisk)};
}

std::vector<MenuEntry> LanguageEntries(i18n::LanguageStrings& language) {
  std::vector<MenuEntry> entries;
  entries.push_back(Command(language.SystemLanguageMenuText(), kSystemLanguageCommand,
                            language.Setting() == i18n::kSystemLanguageSetting));
  const std::u16string resolved = language.ResolveLanguage();
  for (std::size_t index = 0; index < i18n::kLanguages.size(); ++index) {
    const i18n::LanguageInfo& info = i18n::kLanguages[index];
    entries.push_back(Command(std::u16string(info.displayName),
                              kFirstLanguageCommand + static_cast<int>(index),
                              info.locale == resolved));
  }
  return entries;
}

}  // namespace

std::vector<MenuEntry> RecentFolderEntries(i18n::LanguageStrings& language,
                                           const std::vector<std::u16string>& recentFolders) {
  std::vector<MenuEntry> entries;
  if (recentFolders.empty()) {
    MenuEntry none = Command(language.Translate("menu.none"), 0);
    none.disabled = true;
    entries.push_back(std::move(none));
    return entries;
  }
  const std::size_t count =
      std::min(recentFolders.size(), static_cast<std::size_t>(kMaxRecentFolders));
  for (std::size_t index = 0; index < count; ++index) {
    entries.push_back(Command(RecentFolderNumber(index + 1) + u' ' +
                                  WithoutMnemonics(recentFolders[index]),
                              kFirstRecentFolderCommand + static_cast<int>(index)));
  }
  return entries;
}

std::vector<MenuEntry> MenuBarModel(i18n::LanguageStrings& language,
                                    const app::AppSettings& settings, bool fileTypesShown) {
  MenuEntry recent = Submenu(language.Translate("menu.file.recent_folders"),
                             RecentFolderEntries(language, settings.recentFolders));
  recent.recentFolders = true;
  std::vector<MenuEntry> bar;
  bar.push_back(Submenu(language.Translate("menu.file"),
                        {Command(language.Translate("menu.file.open_scan"), kOpenScanCommand),
                         Command(language.Translate("menu.file.save_scan"), kSaveScanCommand),
                         Command(language.Translate("menu.file.compare_scan"), kCompareScanCommand),
                         Command(language.Translate("menu.file.compare_previous"),
                                 kComparePreviousScanCommand),
                         Separator(), std::move(recent), Separator(),
                         Command(language.Translate("menu.file.exit"), kExitCommand)}));
  bar.push_back(
      Submenu(language.Translate("menu.settings"),
              {Command(language.Translate("menu.settings.scan"), kScanSettingsCommand),
               Submenu(language.Translate("menu.settings.sizes"), SizeEntries(language, settings)),
               Separator(),
               Submenu(language.Translate("menu.settings.theme"), ThemeEntries(language, settings)),
               Submenu(language.Translate("menu.settings.language"), LanguageEntries(language)),
               Separator(),
               Command(language.Translate("menu.settings.keep_last_scans"),
                       kKeepLastScansCommand, settings.keepLastScans),
               Command(language.Translate("menu.settings.file_types") + u"\tCtrl+T",
                       kFileTypesCommand, fileTypesShown)}));
  bar.push_back(Submenu(language.Translate("menu.help"),
                        {Command(language.Translate("menu.help.about"), kAboutCommand)}));
  return bar;
}

}  // namespace ombrix::ui
