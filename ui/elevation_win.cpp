#include "ui/elevation_win.h"

#include <shellapi.h>

#include "base/win/unique_handle_win.h"
#include "base/win/wide_string_win.h"

namespace ombrix::ui {

std::u16string GetExecutablePath() {
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, base::WritableWide(path), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    // A path that fills the buffer may have been cut short.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

DWORD LaunchElevated(const std::u16string& executablePath) {
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof(execute);
  execute.fMask = SEE_MASK_NOCLOSEPROCESS;
  execute.lpVerb = L"runas";
  execute.lpFile = base::WideView(executablePath);
  execute.nShow = SW_SHOWNORMAL;
  if (!::ShellExecuteExW(&execute)) return ::GetLastError();
  base::UniqueHandle process(execute.hProcess);
  return ERROR_SUCCESS;
}

}  // namespace ombrix::ui
