#include "ui/window/taskbar_progress_win.h"

#include <algorithm>

namespace ombrix::ui {

bool TaskbarProgress::Ready() {
  if (tried_) return static_cast<bool>(taskbar_);
  tried_ = true;
  apartment_ = std::make_unique<ComApartment>();
  if (!apartment_->usable() ||
      FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(taskbar_.put()))) ||
      FAILED(taskbar_->HrInit())) {
    taskbar_.reset();
  }
  return static_cast<bool>(taskbar_);
}

void TaskbarProgress::Show(HWND window, std::uint64_t found, std::uint64_t total) {
  if (total == 0 || !Ready()) return;
  taskbar_->SetProgressState(window, TBPF_NORMAL);
  taskbar_->SetProgressValue(window, std::min(found, total), total);
}

void TaskbarProgress::Clear(HWND window) {
  if (taskbar_) taskbar_->SetProgressState(window, TBPF_NOPROGRESS);
}

}  // namespace ombrix::ui
