// The start-up question of a process without administrator rights: restart
// as administrator (fast whole-drive scans) or go on with standard rights,
// and whether to ask again.
#pragma once

#include <windows.h>

#include <cstdint>

#include "i18n/language_strings.h"
#include "ui/dialogs/modal_dialog_win.h"

namespace ombrix::ui {

struct StartupPrivilegeResult {
  ModalDialogState modal;
  std::uint32_t elevationChoice = 0;  // 1 restart as administrator, 0 standard rights
  bool dontShowAgain = false;
  i18n::LanguageStrings* language = nullptr;
};

// Modal over `owner`. A dialog that cannot be shown counts as the standard
// choice without "don't show again".
StartupPrivilegeResult ShowStartupPrivilegeDialog(HINSTANCE instance, HWND owner,
                                                  i18n::LanguageStrings& language);

}  // namespace ombrix::ui
