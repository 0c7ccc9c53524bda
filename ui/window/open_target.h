// What Open acts on: the selected row of the right-hand list the user
// touched last, else of Files, else of Subfolders; and how a file is shown
// in the file manager.
#pragma once

#include <string>

#include "app/ranking/folder_ranking_model.h"

namespace ombrix::ui {

app::RankingList ListUsedByOpen(app::RankingList active, bool filesHasSelection,
                                bool subfoldersHasSelection);

// Explorer's parameters that open the file's folder with the file selected.
std::u16string SelectInFileManagerParameters(const std::u16string& filePath);

}  // namespace ombrix::ui
