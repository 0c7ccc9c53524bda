#pragma once

#include "ui/window/folder_queries.h"

namespace ombrix::ui {

// The engines' own path query (long paths included) and the recent list's
// canonical form.
FolderQueries SystemFolderQueries();

}  // namespace ombrix::ui
