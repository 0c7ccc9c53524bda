// The status bar's one line. A scan shows its progress line while it runs
// and its completion line (a failed scan's with the failure after it) once
// it has ended; between scans a notice may tell what just happened ("Ready", a
// save that failed, a recent folder that vanished). The next progress or
// completion line replaces a notice. Window thread only.
#pragma once

#include "ui/window/main_window_state_win.h"

namespace ombrix::ui {

// Notices, by language key.
inline constexpr char kNoticeReady[] = "status.ready";
inline constexpr char kNoticeSaveFailed[] = "status.save_failed";
inline constexpr char kNoticeRecentMissing[] = "status.recent_missing";
inline constexpr char kNoticeRecentUnreachable[] = "status.recent_unreachable";
inline constexpr char kNoticeFolderSelected[] = "status.folder_selected";
inline constexpr char kNoticeDropFolder[] = "status.drop_folder";
inline constexpr char kNoticeSelectRanking[] = "status.select_ranking";
inline constexpr char kNoticeOpenFailed[] = "status.open_failed";
inline constexpr char kNoticeAdminCancelled[] = "status.admin_cancelled";
inline constexpr char kNoticeAdminFailed[] = "status.admin_failed";

// The bar paints itself in the palette's header colours from now on.
void InstallStatusBarPainting(MainWindowState& state);

void ShowNotice(MainWindowState& state, const char* key);
void ClearStatus(MainWindowState& state);
// The progress line while uiState is Scanning, the completion line once
// Finished.
void ShowScanLine(MainWindowState& state);
// After a language change: whatever the bar shows, in the new language.
void RetextStatus(MainWindowState& state);

}  // namespace ombrix::ui
