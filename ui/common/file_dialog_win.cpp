#include "ui/common/file_dialog_win.h"

#include <objbase.h>

#include "base/win/unique_handle_win.h"
#include "base/win/wide_string_win.h"

namespace ombrix::ui {
namespace {

struct CoTaskText {
  ~CoTaskText() { ::CoTaskMemFree(text); }
  PWSTR text = nullptr;
};

}  // namespace

std::u16string ShowFileDialog(IFileDialog& dialog, HWND owner) {
  if (FAILED(dialog.Show(owner))) return {};  // cancelled, or it could not open
  base::ComPtr<IShellItem> chosen;
  if (FAILED(dialog.GetResult(chosen.put()))) return {};
  CoTaskText path;
  if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path.text)) || path.text == nullptr) {
    return {};
  }
  return base::FromWide(path.text);
}

}  // namespace ombrix::ui
