// The questions the window asks the file system about folders the user
// chose: is this a folder, and which form do two spellings of a folder
// compare in. Either can wait a long time on an offline network path or a
// mapped drive the process cannot see, so the window asks them on its
// background worker, never on its own thread. Tests replace them.
#pragma once

#include <functional>
#include <string>

namespace ombrix::ui {

struct FolderQueries {
  std::function<bool(const std::u16string& path)> isFolder;
  // Recent-folder entries are compared in this form (recent_folders.h).
  std::function<std::u16string(const std::u16string& path)> comparableForm;
};

// What became of a folder the user chose before.
enum class FolderState {
  Folder,       // it is there
  Missing,      // its drive or share answers, the folder is gone
  Unreachable,  // its drive or share does not answer: the folder may be
                // there for someone else (a drive mapped for the user, not
                // for an elevated process) or again later (an offline share)
};

// The drive or share a path lives on: "C:\" for "C:\Data", "\\server\share\"
// for "\\server\share\Data", the same inside an extended-length path;
// empty for anything else.
std::u16string PathRoot(const std::u16string& path);

FolderState ProbeFolder(const std::u16string& path,
                        const std::function<bool(const std::u16string&)>& isFolder);

}  // namespace ombrix::ui
