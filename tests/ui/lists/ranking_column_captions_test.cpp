// The lists' column captions in every language the program ships: a list
// whose headers read alike cannot tell its columns apart.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/text_encoding.h"
#include "i18n/language_environment.h"
#include "i18n/language_strings.h"
#include "i18n/language_table.h"
#include "ui/lists/ranking_columns.h"

namespace ombrix::ui {
namespace {

TEST(RankingColumnCaptionsTest, EveryListHasDistinctHeadersInEveryLanguage) {
  i18n::LanguageStrings strings(i18n::SystemLanguageEnvironment());
  for (const i18n::LanguageInfo& language : i18n::kLanguages) {
    strings.SetLanguage(language.locale);
    SCOPED_TRACE(base::ToUtf8(std::u16string(language.locale)));
    for (const RankingListKind kind :
         {RankingListKind::Folders, RankingListKind::Files, RankingListKind::Subfolders}) {
      // The Folders list's share column reads either way round, the Change
      // column in each of its orders.
      for (const int variant : {0, 1, 2}) {
        const bool descending = variant != 1;
        std::set<std::u16string> captions;
        const auto columns = ColumnsOf(kind);
        for (std::size_t column = 0; column < columns.size(); ++column) {
          const bool share =
              kind == RankingListKind::Folders && static_cast<int>(column) == ShareColumnOf(kind);
          const bool change = static_cast<int>(column) == ChangeColumnOf(kind);
          const char* key = share    ? ShareOrderCaptionKey(descending)
                            : change ? ChangeOrderCaptionKey(variant != 0, variant == 1)
                                     : columns[column].captionKey;
          const std::u16string caption = strings.Translate(key);
          EXPECT_TRUE(captions.insert(caption).second)
              << "list " << static_cast<int>(kind) << " repeats " << base::ToUtf8(caption)
              << " (" << key << ")";
        }
      }
    }
  }
}

}  // namespace
}  // namespace ombrix::ui
