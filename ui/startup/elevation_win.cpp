#include "ui/startup/elevation_win.h"

#include <shellapi.h>

#include "base/win/unique_handle_win.h"
#include "base/win/wide_string_win.h"

namespace ombrix::ui {

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
