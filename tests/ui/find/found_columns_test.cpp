#include "ui/find/found_columns.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/find/file_time_text.h"
#include "app/find/find_query.h"
#include "app/number_format.h"
#include "base/text_encoding.h"
#include "core/scan_tree_builder.h"
#include "i18n/language_environment.h"
#include "i18n/language_strings.h"
#include "i18n/language_table.h"

namespace ombrix::ui {
namespace {

constexpr std::uint64_t kHour = 36'000'000'000ull;

// The window's clock an hour ahead of UTC.
std::uint64_t OneHourAhead(std::uint64_t fileTime) { return fileTime + kHour; }

TEST(FoundColumnsTest, EachColumnShowsItsFieldOfTheFoundFile) {
  core::ScanTreeBuilder builder;
  const auto root = builder.AddRoot(u"R", u"Z:\\R", 0x10, 0);
  const std::uint64_t written = app::FileTimeAtUtcMidnight({2024, 1, 31});
  builder.AddFile(root, u"disk.iso", 0x20, 5000, written, 8192);
  builder.AddFile(root, u"unknown.bin", 0x20, 10, 0, 4096);
  builder.ComputeTotals();
  const core::ScanResult result = builder.BuildResult(core::ScanStatus::Completed, u"Z:\\R", 1);
  const core::ScanNodes& nodes = result.nodes;
  const auto named = [&](std::u16string_view name) {
    for (std::uint64_t i = 0; i < nodes.size(); ++i) {
      if (nodes[i].Name().ToString() == name) return i;
    }
    return nodes.size();
  };
  const std::uint64_t iso = named(u"disk.iso");
  const std::uint64_t unknown = named(u"unknown.bin");
  ASSERT_LT(iso, nodes.size());
  ASSERT_LT(unknown, nodes.size());

  const auto cell = [&](std::uint64_t node, int column) {
    return FoundCellText(nodes, node, column, u"en-US", app::SystemLocaleQueries(), {},
                         OneHourAhead);
  };
  const struct {
    std::uint64_t node;
    FoundColumn column;
    std::u16string expected;
  } cases[] = {
      {iso, FoundColumn::Size, app::FormatSize(u"en-US", 5000)},
      {iso, FoundColumn::OnDisk, app::FormatSize(u"en-US", 8192)},
      // Shown on the window's clock.
      {iso, FoundColumn::LastWritten, u"2024-01-31 01:00"},
      // An unknown time stays empty, whatever the clock's offset.
      {unknown, FoundColumn::LastWritten, u""},
      {iso, FoundColumn::Name, u"disk.iso"},
      {iso, FoundColumn::Path, u"Z:\\R\\disk.iso"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::ToUtf8(cell(c.node, static_cast<int>(c.column))), base::ToUtf8(c.expected))
        << "node " << c.node << " column " << static_cast<int>(c.column);
  }
  EXPECT_EQ(cell(iso, static_cast<int>(FoundColumns().size())), u"");
  EXPECT_EQ(cell(iso, -1), u"");
  EXPECT_EQ(cell(nodes.size(), 0), u"");
}

TEST(FoundColumnsTest, HeadersAreDistinctAndTranslatedInEveryLanguage) {
  i18n::LanguageStrings strings(i18n::SystemLanguageEnvironment());
  for (const i18n::LanguageInfo& language : i18n::kLanguages) {
    strings.SetLanguage(language.locale);
    SCOPED_TRACE(base::ToUtf8(std::u16string(language.locale)));
    std::set<std::u16string> captions;
    for (const RankingColumn& column : FoundColumns()) {
      const std::u16string caption = strings.Translate(column.captionKey);
      EXPECT_NE(caption, base::FromUtf8(column.captionKey)) << column.captionKey;
      EXPECT_TRUE(captions.insert(caption).second) << "repeats " << base::ToUtf8(caption);
    }
  }
}

}  // namespace
}  // namespace ombrix::ui
