// File > Open scan... and File > Save scan...: the shell's file dialogs,
// filtered to scan files, in the window's language. Window thread; modal.
#pragma once

#include <windows.h>

#include <string>

#include "i18n/language_strings.h"

namespace ombrix::ui {

// The chosen file's path; empty when the user cancels or anything fails.
std::u16string AskScanFileToOpen(HWND owner, i18n::LanguageStrings& language);
// The same, for the scan to compare the shown one with.
std::u16string AskScanFileToCompare(HWND owner, i18n::LanguageStrings& language);
// Offers suggestedName; an existing file is replaced only after the user
// agrees.
std::u16string AskScanFileToSave(HWND owner, i18n::LanguageStrings& language,
                                 const std::u16string& suggestedName);

}  // namespace ombrix::ui
