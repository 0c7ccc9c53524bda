#include "ui/find/type_columns.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/number_format.h"
#include "base/text_encoding.h"
#include "i18n/language_environment.h"
#include "i18n/language_strings.h"
#include "i18n/language_table.h"

namespace ombrix::ui {
namespace {

// Two types and the files without an extension; the shares are of all
// files on the basis asked for, so the on-disk basis gives other shares.
app::FileTypeBreakdown ThreeTypes() {
  app::FileTypeBreakdown breakdown;
  breakdown.rows = {{u".iso", 6000, 8192, 2}, {u"", 3000, 4096, 1}, {u".txt", 1000, 4096, 3}};
  breakdown.size = 10000;
  breakdown.sizeOnDisk = 16384;
  breakdown.fileCount = 6;
  return breakdown;
}

TEST(TypeColumnsTest, EachColumnShowsItsFieldOfTheType) {
  const app::FileTypeBreakdown types = ThreeTypes();
  const struct {
    std::size_t row;
    TypeColumn column;
    core::SizeBasis basis;
    std::u16string expected;
  } cases[] = {
      {0, TypeColumn::Extension, core::SizeBasis::Logical, u".iso"},
      // Files without an extension are named by the window's label.
      {1, TypeColumn::Extension, core::SizeBasis::Logical, u"(none)"},
      {0, TypeColumn::Size, core::SizeBasis::Logical, app::FormatSize(u"en-US", 6000)},
      {0, TypeColumn::OnDisk, core::SizeBasis::Logical, app::FormatSize(u"en-US", 8192)},
      {2, TypeColumn::Files, core::SizeBasis::Logical, u"3"},
      {0, TypeColumn::Share, core::SizeBasis::Logical, app::FormatShare(u"en-US", 60.0)},
      {0, TypeColumn::Share, core::SizeBasis::OnDisk, app::FormatShare(u"en-US", 50.0)},
      {2, TypeColumn::Share, core::SizeBasis::OnDisk, app::FormatShare(u"en-US", 25.0)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::ToUtf8(TypeCellText(types, c.row, static_cast<int>(c.column), c.basis,
                                        u"en-US", app::SystemLocaleQueries(), u"(none)")),
              base::ToUtf8(c.expected))
        << "row " << c.row << " column " << static_cast<int>(c.column);
  }
  const auto cell = [&](std::size_t row, int column) {
    return TypeCellText(types, row, column, core::SizeBasis::Logical, u"en-US",
                        app::SystemLocaleQueries(), u"(none)");
  };
  EXPECT_EQ(cell(0, static_cast<int>(TypeColumns().size())), u"");
  EXPECT_EQ(cell(0, -1), u"");
  EXPECT_EQ(cell(types.rows.size(), 0), u"");
}

TEST(TypeColumnsTest, HeadersAndTheNoExtensionLabelAreDistinctAndTranslatedInEveryLanguage) {
  i18n::LanguageStrings strings(i18n::SystemLanguageEnvironment());
  for (const i18n::LanguageInfo& language : i18n::kLanguages) {
    strings.SetLanguage(language.locale);
    SCOPED_TRACE(base::ToUtf8(std::u16string(language.locale)));
    std::set<std::u16string> captions;
    for (const RankingColumn& column : TypeColumns()) {
      const std::u16string caption = strings.Translate(column.captionKey);
      EXPECT_NE(caption, base::FromUtf8(column.captionKey)) << column.captionKey;
      EXPECT_TRUE(captions.insert(caption).second) << "repeats " << base::ToUtf8(caption);
    }
    EXPECT_NE(strings.Translate("types.no_extension"), u"types.no_extension");
  }
}

}  // namespace
}  // namespace ombrix::ui
