#include "ui/window/scan_handover.h"

#include <new>
#include <utility>

#include "app/application_controller.h"

namespace ombrix::ui {

bool HandOverScanResult(app::FolderRankingModel& model, core::ScanResult result) {
  try {
    model.SetResult(std::move(result));
    return true;
  } catch (const std::bad_alloc&) {
  }
  // Whatever the model or the result held goes first, so the message below
  // has memory to be made in.
  model = app::FolderRankingModel();
  result = core::ScanResult();
  try {
    core::ScanResult failed;
    failed.status = core::ScanStatus::Failed;
    failed.message = app::kScanOutOfMemoryMessage;
    model.SetResult(std::move(failed));
  } catch (const std::bad_alloc&) {
    model = app::FolderRankingModel();
  }
  return false;
}

}  // namespace ombrix::ui
