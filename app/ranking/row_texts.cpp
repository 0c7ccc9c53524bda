#include "app/ranking/row_texts.h"

#include <optional>

#include "app/number_format.h"

namespace ombrix::app {

namespace {

// A row past the end, or a node index a damaged result does not hold,
// shows nothing rather than reading outside the arrays.
std::optional<core::ScanNode> NodeOf(const FolderRankingModel& model, std::uint64_t index) {
  const auto& nodes = model.Result().nodes;
  if (index >= nodes.size()) return std::nullopt;
  return nodes[index];
}

}  // namespace

std::u16string OnDiskText(const core::ScanNode& node, std::u16string_view languageSetting,
                          const LocaleQueries& locale, const SizeMarkTexts& marks) {
  std::u16string text = FormatSize(languageSetting, node.SizeOnDisk(), locale);
  if (node.LinkCount() > 1 && !marks.names.empty()) {
    std::u16string names = marks.names;
    if (const auto at = names.find(u"{count}"); at != std::u16string::npos) {
      names.replace(at, 7, FormatCount(languageSetting, node.LinkCount(), locale));
    }
    text += u" (" + names + u")";
  }
  if (node.IsPlaceholder() && !marks.placeholder.empty()) {
    text += u" (" + marks.placeholder + u")";
  }
  return text;
}

std::u16string FolderRowText(const FolderRankingModel& model, std::size_t row, FolderColumn column,
                             std::u16string_view languageSetting, const LocaleQueries& locale,
                             const SizeMarkTexts& marks) {
  if (row >= model.treeRows.size()) return {};
  const std::uint64_t index = model.treeRows[row].node;
  const std::optional<core::ScanNode> node = NodeOf(model, index);
  if (!node) return {};
  const bool folder = node->IsDirectory();
  switch (column) {
    case FolderColumn::Name:
      return node->Name().empty() ? node->Path() : node->Name().ToString();
    case FolderColumn::Share:
      return FormatShare(languageSetting, model.ShareOf(index, core::kNoNode), locale);
    case FolderColumn::Size:
      return FormatSize(languageSetting, node->TotalSize(), locale);  // a file: its own size
    case FolderColumn::OnDisk:
      return OnDiskText(*node, languageSetting, locale, marks);
    case FolderColumn::Files:
      return folder ? FormatCount(languageSetting, node->FileCount(), locale) : u"";
    case FolderColumn::Folders:
      return folder ? FormatCount(languageSetting, node->FolderCount(), locale) : u"";
    case FolderColumn::Path:
      return node->Path();
  }
  return {};
}

std::u16string FileRowText(const FolderRankingModel& model, std::size_t row, FileColumn column,
                           std::u16string_view languageSetting, const LocaleQueries& locale,
                           const SizeMarkTexts& marks) {
  if (row >= model.fileRows.size()) return {};
  const RankingRow& ranked = model.fileRows[row];
  const std::optional<core::ScanNode> node = NodeOf(model, ranked.node);
  if (!node) return {};
  switch (column) {
    case FileColumn::Share:
      return FormatShare(languageSetting, ranked.share, locale);
    case FileColumn::Size:
      return FormatSize(languageSetting, node->OwnSize(), locale);
    case FileColumn::OnDisk:
      return OnDiskText(*node, languageSetting, locale, marks);
    case FileColumn::Name:
      return node->Name().ToString();
    case FileColumn::Path:
      return node->Path();
  }
  return {};
}

std::u16string SubfolderRowText(const FolderRankingModel& model, std::size_t row,
                                SubfolderColumn column, std::u16string_view languageSetting,
                                const LocaleQueries& locale, const SizeMarkTexts& marks) {
  if (row >= model.subfolderRows.size()) return {};
  const RankingRow& ranked = model.subfolderRows[row];
  const std::optional<core::ScanNode> node = NodeOf(model, ranked.node);
  if (!node) return {};
  switch (column) {
    case SubfolderColumn::Share:
      return FormatShare(languageSetting, ranked.share, locale);
    case SubfolderColumn::Size:
      return FormatSize(languageSetting, node->TotalSize(), locale);
    case SubfolderColumn::OnDisk:
      return OnDiskText(*node, languageSetting, locale, marks);
    case SubfolderColumn::Files:
      return FormatCount(languageSetting, node->FileCount(), locale);
    case SubfolderColumn::Folders:
      return FormatCount(languageSetting, node->FolderCount(), locale);
    case SubfolderColumn::Path:
      return node->Path();
  }
  return {};
}

}  // namespace ombrix::app
