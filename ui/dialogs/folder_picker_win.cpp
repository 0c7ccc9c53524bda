#include "ui/dialogs/folder_picker_win.h"

#include <windows.h>

#include <objbase.h>
#include <shobjidl.h>

#include "base/win/unique_handle_win.h"
#include "base/win/wide_string_win.h"
#include "ui/common/com_apartment_win.h"

namespace ombrix::ui {
namespace {

struct CoTaskText {
  ~CoTaskText() { ::CoTaskMemFree(text); }
  PWSTR text = nullptr;
};

std::u16string PickFolder(HWND owner, const std::u16string& title,
                          const std::u16string& startFolder) {
  base::ComPtr<IFileOpenDialog> dialog;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(dialog.put())))) {
    return {};
  }
  FILEOPENDIALOGOPTIONS options = 0;
  if (FAILED(dialog->GetOptions(&options)) ||
      FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM |
                                FOS_PATHMUSTEXIST))) {
    return {};
  }
  dialog->SetTitle(base::WideView(title));
  if (!startFolder.empty()) {
    base::ComPtr<IShellItem> folder;
    if (SUCCEEDED(::SHCreateItemFromParsingName(base::WideView(startFolder), nullptr,
                                                IID_PPV_ARGS(folder.put())))) {
      dialog->SetFolder(folder.get());
    }
  }
  if (FAILED(dialog->Show(owner))) return {};  // cancelled, or it could not open
  base::ComPtr<IShellItem> chosen;
  if (FAILED(dialog->GetResult(chosen.put()))) return {};
  CoTaskText path;
  if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path.text)) || path.text == nullptr) {
    return {};
  }
  return base::FromWide(path.text);
}

}  // namespace

std::u16string ShowFolderPicker(HWND owner, const std::u16string& title,
                                const std::u16string& startFolder) {
  const ComApartment apartment;
  if (!apartment.usable()) return {};
  // The COM objects must be released before the apartment is left.
  return PickFolder(owner, title, startFolder);
}

}  // namespace ombrix::ui
