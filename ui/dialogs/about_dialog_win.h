// The About dialog: product, version, copyright and the licence.
#pragma once

#include <windows.h>

#include "i18n/language_strings.h"

namespace ombrix::ui {

void ShowAboutDialog(HINSTANCE instance, HWND owner, i18n::LanguageStrings& language);

}  // namespace ombrix::ui
