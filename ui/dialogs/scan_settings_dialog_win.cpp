#include "ui/dialogs/scan_settings_dialog_win.h"

#include <windows.h>

#include <commctrl.h>
#include <string>
#include <string_view>

#include "base/win/wide_string_win.h"
#include "ui/dialogs/dialog_texts.h"
#include "ui/common/ui_fonts_win.h"
#include "ui/window/window_messages_win.h"

namespace ombrix::ui {
namespace {

constexpr wchar_t kClassName[] = L"Ombrix.ScanSettingsDialog";
constexpr int kThreadCountBox = 2001;
constexpr int kAskAtStartupBox = 2002;
constexpr int kAlwaysElevatedBox = 2004;
constexpr int kButtons[] = {IDOK, IDCANCEL};
constexpr PixelRect kButtonRects[] = {{236, 130, 80, 28}, {330, 130, 90, 28}};

struct ScanSettingsRecord {
  ModalDialogState modal;
  ScanSettingsValues values;
  i18n::LanguageStrings* language = nullptr;
  bool accepted = false;
  HWND threadCountBox = nullptr;
};

std::u16string Text(ScanSettingsRecord& record, std::string_view key) {
  if (record.language != nullptr) return record.language->Translate(key);
  return std::u16string(key.begin(), key.end());
}

bool Checked(HWND dialog, int id) {
  return ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool checked) {
  ::SendMessageW(::GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CoupleBoxes(HWND dialog) {
  const ElevationBoxes boxes =
      CoupleElevationBoxes(Checked(dialog, kAskAtStartupBox), Checked(dialog, kAlwaysElevatedBox));
  SetChecked(dialog, kAskAtStartupBox, boxes.askChecked);
  ::EnableWindow(::GetDlgItem(dialog, kAskAtStartupBox), boxes.askEnabled ? TRUE : FALSE);
}

void CreateControls(HWND dialog, ScanSettingsRecord& record) {
  const std::uint32_t dpi = record.modal.dpi;
  const std::uint32_t maximum = record.values.maxThreadsPerDrive;
  CreateDialogControl(dialog, WC_STATICW, Text(record, "dialog.scan_settings.threads_per_drive"), 0,
                      0, {16, 18, 180, 22}, dpi);
  record.threadCountBox =
      CreateDialogControl(dialog, WC_COMBOBOXW, u"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                          kThreadCountBox, {206, 16, 72, 240}, dpi);
  CreateDialogControl(dialog, WC_STATICW,
                      ThreadRangeText(Text(record, "dialog.scan_settings.range_prefix"), maximum),
                      0, 0, {292, 18, 150, 22}, dpi);
  CreateDialogControl(dialog, WC_BUTTONW, Text(record, "dialog.scan_settings.ask_admin"),
                      BS_AUTOCHECKBOX | WS_TABSTOP, kAskAtStartupBox, {16, 58, 400, 24}, dpi);
  CreateDialogControl(dialog, WC_BUTTONW, Text(record, "dialog.scan_settings.always_admin"),
                      BS_AUTOCHECKBOX | WS_TABSTOP, kAlwaysElevatedBox, {16, 88, 400, 24}, dpi);
  CreateDialogControl(dialog, WC_BUTTONW, Text(record, "dialog.common.ok"),
                      BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, kButtonRects[0], dpi);
  CreateDialogControl(dialog, WC_BUTTONW, Text(record, "dialog.common.cancel"), WS_TABSTOP,
                      IDCANCEL, kButtonRects[1], dpi);
  ApplyFontToWindowTree(dialog, DialogFont(dpi));
  FitButtonRow(dialog, kButtons, kButtonRects, RowAnchor::Right, dpi);

  for (std::uint32_t count = 1; count <= maximum; ++count) {
    const std::wstring item = std::to_wstring(count);
    ::SendMessageW(record.threadCountBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  ::SendMessageW(record.threadCountBox, CB_SETCURSEL,
                 static_cast<WPARAM>(InitialThreadSelection(record.values)), 0);
  SetChecked(dialog, kAskAtStartupBox, record.values.showAdminPromptOnStartup);
  SetChecked(dialog, kAlwaysElevatedBox, record.values.alwaysStartAsAdministrator);
  CoupleBoxes(dialog);
}

void Accept(HWND dialog, ScanSettingsRecord& record) {
  const int selection = static_cast<int>(::SendMessageW(record.threadCountBox, CB_GETCURSEL, 0, 0));
  if (!AcceptScanSettings(selection, Checked(dialog, kAskAtStartupBox),
                          Checked(dialog, kAlwaysElevatedBox), record.values)) {
    // The one message box of the program: the dialog stays open for a fix.
    const std::u16string warning = Text(record, "dialog.scan_settings.invalid_threads");
    ::MessageBoxW(dialog, base::WideView(warning), L"Ombrix", MB_OK | MB_ICONWARNING);
    return;
  }
  record.accepted = true;
  EndModalDialog(dialog, record.modal);
}

LRESULT CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  ScanSettingsRecord* record = nullptr;
  LRESULT answer = 0;
  if (AnswerCommonDialogMessage(dialog, message, wParam, lParam, record, answer)) return answer;
  switch (message) {
    case WM_CREATE:
      CreateControls(dialog, *record);
      return 0;
    case WM_COMMAND: {
      const CommandMessage command = DecodeCommand(wParam, lParam);
      if (command.id == kAlwaysElevatedBox) {
        CoupleBoxes(dialog);
      } else if (command.id == IDOK) {
        Accept(dialog, *record);
      } else if (command.id == IDCANCEL) {
        EndModalDialog(dialog, record->modal);
      }
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

bool ShowScanSettingsDialog(HINSTANCE instance, HWND owner, i18n::LanguageStrings* language,
                            ScanSettingsValues& values) {
  ScanSettingsRecord record;
  record.values = values;
  record.language = language;
  ModalDialogSetup setup;
  setup.className = kClassName;
  setup.procedure = DialogProcedure;
  setup.clientWidth96 = 450;
  setup.clientHeight96 = 210;
  setup.title = Text(record, "dialog.scan_settings.title");
  setup.record = &record;
  setup.state = &record.modal;
  if (!RunModalDialog(instance, owner, setup) || !record.accepted) return false;
  values = record.values;
  return true;
}

}  // namespace ombrix::ui
