#include "ui/find/type_columns.h"

#include <iterator>

#include "app/number_format.h"

namespace ombrix::ui {
namespace {

constexpr RankingColumn kTypeColumns[] = {
    {"column.extension", 130, ColumnAlignment::Left},
    {"column.share", 120, ColumnAlignment::Left},
    {"column.size", 100, ColumnAlignment::Right},
    {"column.on_disk", 110, ColumnAlignment::Right},
    {"column.files", 80, ColumnAlignment::Right},
};

}  // namespace

std::span<const RankingColumn> TypeColumns() { return kTypeColumns; }

std::u16string TypeCellText(const app::FileTypeBreakdown& breakdown, std::size_t row, int column,
                            core::SizeBasis basis, std::u16string_view languageSetting,
                            const app::LocaleQueries& locale, std::u16string_view noExtension) {
  if (row >= breakdown.rows.size() || column < 0 ||
      static_cast<std::size_t>(column) >= std::size(kTypeColumns)) {
    return {};
  }
  const app::FileTypeRow& type = breakdown.rows[row];
  switch (static_cast<TypeColumn>(column)) {
    case TypeColumn::Extension:
      return type.extension.empty() ? std::u16string(noExtension) : type.extension;
    case TypeColumn::Size:
      return app::FormatSize(languageSetting, type.size, locale);
    case TypeColumn::OnDisk:
      return app::FormatSize(languageSetting, type.sizeOnDisk, locale);
    case TypeColumn::Files:
      return app::FormatCount(languageSetting, type.fileCount, locale);
    case TypeColumn::Share:
      return app::FormatShare(languageSetting, app::ShareOfType(breakdown, type, basis), locale);
  }
  return {};
}

}  // namespace ombrix::ui
