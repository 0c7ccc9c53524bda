#include "ui/dialogs/about_dialog_win.h"

#include <windows.h>

#include <commctrl.h>
#include <string>

#include "ui/dialogs/dialog_texts.h"
#include "ui/dialogs/modal_dialog_win.h"
#include "ui/common/ui_fonts_win.h"
#include "ui/window/window_messages_win.h"

namespace ombrix::ui {
namespace {

constexpr wchar_t kClassName[] = L"Ombrix.AboutDialog";
constexpr int kLicenseBox = 2101;
constexpr int kButtons[] = {IDOK};
constexpr PixelRect kButtonRects[] = {{422, 400, 80, 28}};
constexpr char16_t kProductName[] = u"Ombrix Free Edition";
constexpr char16_t kVersion[] = u"v1.01";
constexpr char16_t kCopyright[] =
    u"Copyright \u00A9 2026 the Ombrix developers. All rights reserved.";

struct AboutRecord {
  ModalDialogState modal;
  i18n::LanguageStrings* language = nullptr;
  std::u16string licenseText;
};

void CreateControls(HWND dialog, AboutRecord& record) {
  i18n::LanguageStrings& language = *record.language;
  const std::uint32_t dpi = record.modal.dpi;
  CreateDialogControl(dialog, WC_STATICW, kProductName, 0, 0, {18, 16, 460, 22}, dpi);
  CreateDialogControl(dialog, WC_STATICW,
                      language.Translate("dialog.about.version_prefix") + kVersion, 0, 0,
                      {18, 42, 460, 22}, dpi);
  CreateDialogControl(dialog, WC_STATICW, kCopyright, 0, 0, {18, 68, 460, 22}, dpi);
  // The licence is long prose, so it gets the whole space below the
  // copyright line, wrapped at the box's width and scrollable.
  const HWND license =
      CreateDialogControl(dialog, WC_EDITW, record.licenseText,
                          ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                          kLicenseBox, {18, 104, 484, 276}, dpi, WS_EX_CLIENTEDGE);
  const HWND close =
      CreateDialogControl(dialog, WC_BUTTONW, language.Translate("dialog.common.close"),
                          BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, kButtonRects[0], dpi);
  ApplyFontToWindowTree(dialog, DialogFont(dpi));
  FitButtonRow(dialog, kButtons, kButtonRects, RowAnchor::Right, dpi);
  ::SendMessageW(license, EM_SETSEL, 0, 0);
  ::SetFocus(close);
}

LRESULT CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  AboutRecord* record = nullptr;
  LRESULT answer = 0;
  if (AnswerCommonDialogMessage(dialog, message, wParam, lParam, record, answer)) return answer;
  switch (message) {
    case WM_CREATE:
      CreateControls(dialog, *record);
      return 0;
    case WM_COMMAND: {
      const CommandMessage command = DecodeCommand(wParam, lParam);
      if (command.id == IDOK || command.id == IDCANCEL) EndModalDialog(dialog, record->modal);
      return 0;
    }
    case WM_CLOSE:
      EndModalDialog(dialog, record->modal);
      return 0;
    default:
      return ::DefWindowProcW(dialog, message, wParam, lParam);
  }
}

}  // namespace

void ShowAboutDialog(HINSTANCE instance, HWND owner, i18n::LanguageStrings& language) {
  AboutRecord record;
  record.language = &language;
  record.licenseText = LicenseTextForEditControl(language.Translate("dialog.about.license"));
  ModalDialogSetup setup;
  setup.className = kClassName;
  setup.procedure = DialogProcedure;
  setup.clientWidth96 = 520;
  setup.clientHeight96 = 450;
  setup.title = language.Translate("dialog.about.title");
  setup.record = &record;
  setup.state = &record.modal;
  RunModalDialog(instance, owner, setup);
}

}  // namespace ombrix::ui
