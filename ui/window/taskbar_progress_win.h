// The taskbar button's progress bar while a drive is scanned: how much of
// the drive's used space the scan has found. Windows without a taskbar
// object (or without COM) simply show none.
#pragma once

#include <windows.h>

#include <shobjidl.h>

#include <cstdint>
#include <memory>

#include "base/win/unique_handle_win.h"
#include "ui/common/com_apartment_win.h"

namespace ombrix::ui {

class TaskbarProgress {
 public:
  // found of total, capped at total (a file of several names is counted
  // once per name while scanning).
  void Show(HWND window, std::uint64_t found, std::uint64_t total);
  void Clear(HWND window);

 private:
  bool Ready();

  std::unique_ptr<ComApartment> apartment_;
  base::ComPtr<ITaskbarList3> taskbar_;
  bool tried_ = false;
};

}  // namespace ombrix::ui
