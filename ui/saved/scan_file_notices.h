// The status bar's notices about scan files, by language key.
#pragma once

#include "app/saved/saved_scan_format.h"

namespace ombrix::ui {

inline constexpr char kNoticeScanOpening[] = "status.scan_opening";
inline constexpr char kNoticeScanSaving[] = "status.scan_saving";
inline constexpr char kNoticeScanSaved[] = "status.scan_saved";
inline constexpr char kNoticeScanSaveFailed[] = "status.scan_save_failed";
inline constexpr char kNoticeScanComparing[] = "status.scan_comparing";
inline constexpr char kNoticeNoEarlierScan[] = "status.no_previous_scan";
inline constexpr char kNoticeScanKeepFailed[] = "status.scan_keep_failed";

// Why a file was not opened as a scan, in the user's words.
const char* OpenFailureNotice(app::SavedScanError error);

}  // namespace ombrix::ui
