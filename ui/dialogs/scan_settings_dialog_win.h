// The scan settings dialog: threads per drive and the two elevation
// choices (ask at start-up, always start as administrator).
#pragma once

#include <windows.h>

#include "i18n/language_strings.h"
#include "ui/dialogs/modal_dialog_win.h"
#include "ui/dialogs/scan_settings_choice.h"

namespace ombrix::ui {

// Modal over `owner`. True when the user accepted; `values` then holds the
// choice. Without a language every text is its key.
bool ShowScanSettingsDialog(HINSTANCE instance, HWND owner, i18n::LanguageStrings* language,
                            ScanSettingsValues& values);

}  // namespace ombrix::ui
