// The recent-folders list: newest first, at most 16, one entry per folder
// however it was spelt. Two spellings name the same folder when their
// comparable forms are equal ignoring case, as the file system compares
// names.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix::ui {

inline constexpr std::size_t kRecentFoldersLimit = 16;

// CompareStringOrdinal with ignore-case on Windows.
using EqualIgnoringCase = std::function<bool(std::u16string_view, std::u16string_view)>;
// The form an entry is compared in.
using FolderForm = std::function<std::u16string(const std::u16string&)>;

// "." and ".." resolved and a trailing separator dropped, by the text
// alone: it never asks the file system.
std::u16string LexicalFolderForm(const std::u16string& path);

// The weakly canonical form (links and short names resolved as far as the
// path exists), the lexical one when that fails. It asks the file system,
// which may wait on a network path: not for the window thread.
std::u16string ComparableFolderForm(const std::u16string& path);

// The forms worked out beforehand (off the window thread) for these paths,
// and the lexical form for any other, such as an entry added since.
FolderForm KnownFolderForms(std::map<std::u16string, std::u16string> forms);

// Puts `path` first, as given, removing other spellings of it and cutting
// the list to the limit. An empty path changes nothing (false).
bool AddRecentFolder(std::vector<std::u16string>& recentFolders, const std::u16string& path,
                     const FolderForm& formOf, const EqualIgnoringCase& equalIgnoringCase);

}  // namespace ombrix::ui
