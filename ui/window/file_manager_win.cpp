#include "ui/window/file_manager_win.h"

#include <windows.h>

#include <shellapi.h>

#include "base/win/extended_path_win.h"
#include "base/win/wide_string_win.h"
#include "ui/window/open_target.h"

namespace ombrix::ui {
namespace {

// ShellExecuteW's old-style result: above 32 is success.
bool Launched(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

}  // namespace

std::u16string ExplorerPath() {
  std::u16string folder(MAX_PATH, u'\0');
  const UINT length = ::GetWindowsDirectoryW(base::WritableWide(folder), MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  folder.resize(length);
  if (folder.back() != u'\\') folder += u'\\';
  return folder + u"explorer.exe";
}

bool OpenInFileManager(HWND owner, const std::u16string& path, bool isFolder) {
  if (path.empty()) return false;
  const std::u16string systemPath = base::ExtendedLengthPath(path);
  if (isFolder) {
    return Launched(::ShellExecuteW(owner, L"open", base::WideView(systemPath), nullptr, nullptr,
                                    SW_SHOWNORMAL));
  }
  const std::u16string explorer = ExplorerPath();
  if (explorer.empty()) return false;
  const std::u16string parameters = SelectInFileManagerParameters(systemPath);
  return Launched(::ShellExecuteW(owner, L"open", base::WideView(explorer),
                                  base::WideView(parameters), nullptr, SW_SHOWNORMAL));
}

}  // namespace ombrix::ui
