#include "ui/window/folder_queries_win.h"

#include <optional>

#include "core/path_attributes_win.h"
#include "core/scan_model.h"
#include "ui/window/recent_folders.h"

namespace ombrix::ui {

FolderQueries SystemFolderQueries() {
  FolderQueries queries;
  queries.isFolder = [](const std::u16string& path) {
    const std::optional<core::PathAttributes> found = core::ReadPathAttributes(path);
    return found && (found->attributes & core::kAttributeDirectory) != 0;
  };
  queries.comparableForm = ComparableFolderForm;
  return queries;
}

}  // namespace ombrix::ui
