// The ids of the main window's controls and commands. Menu and button
// commands share one space: WM_COMMAND carries either.
#pragma once

namespace ombrix::ui {

inline constexpr int kSelectorId = 1001;
inline constexpr int kScanButtonId = 1002;
inline constexpr int kCancelButtonId = 1003;
inline constexpr int kFolderButtonId = 1004;
inline constexpr int kFoldersListId = 1005;
inline constexpr int kFilesListId = 1006;
inline constexpr int kSubfoldersListId = 1007;
inline constexpr int kStatusBarId = 1008;
inline constexpr int kOpenButtonId = 1009;
inline constexpr int kContextOpenCommand = 1010;
inline constexpr int kExitCommand = 1011;
inline constexpr int kScanSettingsCommand = 1012;
inline constexpr int kAboutCommand = 1013;
inline constexpr int kLogicalSizesCommand = 1014;
inline constexpr int kSizesOnDiskCommand = 1015;
// The find box and the found files' list.
inline constexpr int kFindBoxId = 1016;
inline constexpr int kFoundListId = 1017;
// The File types list in the Subfolders list's place, and its command.
inline constexpr int kFileTypesCommand = 1018;
inline constexpr int kTypesListId = 1019;
// Settings > Keep last scans.
inline constexpr int kKeepLastScansCommand = 1020;
// Recent folder n (0-based) is kFirstRecentFolderCommand + n.
inline constexpr int kFirstRecentFolderCommand = 1100;
inline constexpr int kMaxRecentFolders = 16;
// Follow the system language; language n of the table is
// kFirstLanguageCommand + n.
inline constexpr int kSystemLanguageCommand = 1200;
inline constexpr int kFirstLanguageCommand = 1201;
// Theme n of the table.
inline constexpr int kFirstThemeCommand = 1300;
// Scans as files (File menu).
inline constexpr int kOpenScanCommand = 1400;
inline constexpr int kSaveScanCommand = 1401;
inline constexpr int kCompareScanCommand = 1402;
inline constexpr int kComparePreviousScanCommand = 1403;

}  // namespace ombrix::ui
