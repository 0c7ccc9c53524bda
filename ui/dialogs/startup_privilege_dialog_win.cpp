#include "ui/dialogs/startup_privilege_dialog_win.h"

#include <windows.h>

#include <commctrl.h>

#include "ui/common/ui_fonts_win.h"
#include "ui/window/window_messages_win.h"

namespace ombrix::ui {
namespace {

constexpr wchar_t kClassName[] = L"Ombrix.StartupPrivilegeDialog";
constexpr int kAdministratorButton = 2051;
constexpr int kStandardButton = 2052;
constexpr int kDontShowAgainBox = 2053;
constexpr int kButtons[] = {kAdministratorButton, kStandardButton};
constexpr PixelRect kButtonRects[] = {{122, 216, 130, 30}, {268, 216, 130, 30}};

void CreateControls(HWND dialog, StartupPrivilegeResult& result) {
  i18n::LanguageStrings& language = *result.language;
  const std::uint32_t dpi = result.modal.dpi;
  const std::u16string adminHeading = language.Translate("dialog.startup.admin.heading");
  const std::u16string standardHeading = language.Translate("dialog.startup.standard.heading");
  CreateDialogControl(dialog, WC_STATICW, language.Translate("dialog.startup.prompt"), 0, 0,
                      {24, 18, 472, 24}, dpi);
  const HWND adminLabel =
      CreateDialogControl(dialog, WC_STATICW, adminHeading, 0, 0, {24, 56, 180, 22}, dpi);
  // Two lines high: Russian and Ukrainian descriptions wrap, and the room
  // below each is free up to the next heading.
  CreateDialogControl(dialog, WC_STATICW, language.Translate("dialog.startup.admin.description"), 0,
                      0, {44, 80, 452, 32}, dpi);
  const HWND standardLabel =
      CreateDialogControl(dialog, WC_STATICW, standardHeading, 0, 0, {24, 114, 220, 22}, dpi);
  CreateDialogControl(dialog, WC_STATICW, language.Translate("dialog.startup.standard.description"),
                      0, 0, {44, 138, 452, 32}, dpi);
  CreateDialogControl(dialog, WC_BUTTONW, language.Translate("dialog.startup.dont_show_again"),
                      BS_AUTOCHECKBOX, kDontShowAgainBox, {24, 174, 260, 24}, dpi);
  CreateDialogControl(dialog, WC_BUTTONW, adminHeading, BS_DEFPUSHBUTTON | WS_TABSTOP,
                      kAdministratorButton, kButtonRects[0], dpi);
  CreateDialogControl(dialog, WC_BUTTONW, standardHeading, BS_PUSHBUTTON | WS_TABSTOP,
                      kStandardButton, kButtonRects[1], dpi);
  ApplyFontToWindowTree(dialog, DialogFont(dpi));
  FitButtonRow(dialog, kButtons, kButtonRects, RowAnchor::Centre, dpi);
  for (HWND heading : {adminLabel, standardLabel}) {
    ::SendMessageW(heading, WM_SETFONT, reinterpret_cast<WPARAM>(DialogHeadingFont(dpi)), TRUE);
  }
}

void Finish(HWND dialog, StartupPrivilegeResult& result, std::uint32_t choice) {
  result.elevationChoice = choice;
  result.dontShowAgain =
      ::SendMessageW(::GetDlgItem(dialog, kDontShowAgainBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
  EndModalDialog(dialog, result.modal);
}

LRESULT CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  StartupPrivilegeResult* result = nullptr;
  LRESULT answer = 0;
  if (AnswerCommonDialogMessage(dialog, message, wParam, lParam, result, answer)) return answer;
  switch (message) {
    case WM_CREATE:
      CreateControls(dialog, *result);
      return 0;
    case WM_COMMAND: {
      // Escape (IDCANCEL) is no answer: the user has to choose.
      const CommandMessage command = DecodeCommand(wParam, lParam);
      if (command.id == kAdministratorButton) {
        Finish(dialog, *result, 1);
      } else if (command.id == kStandardButton) {
        Finish(dialog, *result, 0);
      }
      return 0;
    }
    case WM_CLOSE:
      Finish(dialog, *result, 0);
      return 0;
    case WM_DESTROY:
      result->modal.done = true;
      return 0;
    default:
      return ::DefWindowProcW(dialog, message, wParam, lParam);
  }
}

}  // namespace

StartupPrivilegeResult ShowStartupPrivilegeDialog(HINSTANCE instance, HWND owner,
                                                  i18n::LanguageStrings& language) {
  StartupPrivilegeResult result;
  result.language = &language;
  ModalDialogSetup setup;
  setup.className = kClassName;
  setup.procedure = DialogProcedure;
  setup.clientWidth96 = 520;
  setup.clientHeight96 = 270;
  setup.title = language.Translate("dialog.startup.title");
  setup.record = &result;
  setup.state = &result.modal;
  if (!RunModalDialog(instance, owner, setup)) {
    result.elevationChoice = 0;
    result.dontShowAgain = false;
  }
  return result;
}

}  // namespace ombrix::ui
