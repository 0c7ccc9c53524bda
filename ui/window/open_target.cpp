#include "ui/window/open_target.h"

namespace ombrix::ui {

app::RankingList ListUsedByOpen(app::RankingList active, bool filesHasSelection,
                                bool subfoldersHasSelection) {
  if (active == app::RankingList::Files && filesHasSelection) return active;
  if (active == app::RankingList::Subfolders && subfoldersHasSelection) return active;
  if (filesHasSelection) return app::RankingList::Files;
  if (subfoldersHasSelection) return app::RankingList::Subfolders;
  return app::RankingList::None;
}

std::u16string SelectInFileManagerParameters(const std::u16string& filePath) {
  return u"/select,\"" + filePath + u"\"";
}

}  // namespace ombrix::ui
