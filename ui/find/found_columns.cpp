#include "ui/find/found_columns.h"

#include <iterator>

#include "app/find/file_time_text.h"
#include "app/number_format.h"

namespace ombrix::ui {
namespace {

constexpr RankingColumn kFoundColumns[] = {
    {"column.file_name", 220, ColumnAlignment::Left},
    {"column.size", 100, ColumnAlignment::Right},
    {"column.on_disk", 140, ColumnAlignment::Right},
    {"column.last_written", 130, ColumnAlignment::Left},
    {"column.full_path", 560, ColumnAlignment::Left},
};

}  // namespace

std::span<const RankingColumn> FoundColumns() { return kFoundColumns; }

std::u16string FoundCellText(const core::ScanNodes& nodes, std::uint64_t node, int column,
                             std::u16string_view languageSetting, const app::LocaleQueries& locale,
                             const app::SizeMarkTexts& marks, ShownFileTime shownTime) {
  if (node >= nodes.size() || column < 0 ||
      static_cast<std::size_t>(column) >= std::size(kFoundColumns)) {
    return {};
  }
  const core::ScanNode file = nodes[node];
  switch (static_cast<FoundColumn>(column)) {
    case FoundColumn::Size:
      return app::FormatSize(languageSetting, file.OwnSize(), locale);
    case FoundColumn::OnDisk:
      return app::OnDiskText(file, languageSetting, locale, marks);
    case FoundColumn::LastWritten: {
      const std::uint64_t written = nodes.LastWriteTime(node);
      return written == 0 ? std::u16string() : app::FileTimeText(shownTime(written));
    }
    case FoundColumn::Name:
      return file.Name().ToString();
    case FoundColumn::Path:
      return file.Path();
  }
  return {};
}

}  // namespace ombrix::ui
