// The recent-folders list: newest first, at most 16, one entry per folder
// however it was spelt. Two spellings name the same folder when their
// weakly canonical forms (lexically normal when that fails) are equal
// ignoring case, as the file system compares names.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::ui {

inline constexpr std::size_t kRecentFoldersLimit = 16;

// CompareStringOrdinal with ignore-case on Windows.
using EqualIgnoringCase = std::function<bool(std::u16string_view, std::u16string_view)>;

// The form two entries are compared in.
std::u16string ComparableFolderForm(const std::u16string& path);

// Puts `path` first, as given, removing other spellings of it and cutting
// the list to the limit. An empty path changes nothing (false).
bool AddRecentFolder(std::vector<std::u16string>& recentFolders, const std::u16string& path,
                     const EqualIgnoringCase& equalIgnoringCase);

}  // namespace ombrix::ui
