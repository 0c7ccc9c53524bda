// Which paths one ombrix-scan run scans, under which label and with which
// engine choice, worked out from the request and the drive list so that the
// rules run (and are tested) without touching any drive.
#pragma once

#include <string>
#include <vector>

#include "app/drive_list.h"
#include "app/ranking/folder_ranking_model.h"
#include "core/scan_options.h"
#include "tools/ombrix_scan/scan_request.h"

namespace ombrix::scan_tool {

struct ScanPlan {
  std::vector<std::u16string> paths;
  // Equal to the only path when that path is scanned without a synthetic
  // root; otherwise the synthetic root's name.
  std::u16string label;
  core::ScanEngineChoice choice = core::ScanEngineChoice::Automatic;
};

// --all-drives takes the drives' roots in list order; several paths or a
// --label hang under a synthetic root named by the label (default
// "All local drives"); a single path without --label is scanned as is.
ScanPlan PlanScan(const ScanRequest& request, const std::vector<app::DriveInfo>& drives);

core::ScanEngineChoice EngineChoiceFor(EngineRequest engine);

}  // namespace ombrix::scan_tool
