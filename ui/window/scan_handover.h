// The window's side of a scan's end: the finished result goes into the
// ranking model, which lists the root's children and ranks below it. On a
// huge tree that ranking can itself run out of memory after the scan
// thread succeeded; then the tree is released, the window lives on and the
// model holds a failed result with no tree and the fixed English message
// of a scan that ran out of memory, which the status bar shows.
#pragma once

#include "app/ranking/folder_ranking_model.h"
#include "core/scan_model.h"

namespace ombrix::ui {

// True when the model took the result over; false when memory ran out and
// the model was left with the failed, empty result described above.
bool HandOverScanResult(app::FolderRankingModel& model, core::ScanResult result);

}  // namespace ombrix::ui
