#include "ui/dialogs/folder_picker_win.h"

#include <windows.h>

#include <objbase.h>
#include <shobjidl.h>

#include "base/win/unique_handle_win.h"
#include "base/win/wide_string_win.h"
#include "ui/common/com_apartment_win.h"
#include "ui/common/file_dialog_win.h"

namespace ombrix::ui {
namespace {

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
  return ShowFileDialog(*dialog.get(), owner);
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
