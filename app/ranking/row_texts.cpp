#include "app/ranking/row_texts.h"

#include "app/number_format.h"
#include "app/ranking/ranking_size.h"

namespace ombrix::app {

namespace {

// A row past the end, or a node index a damaged result does not hold,
// shows nothing rather than reading outside the vectors.
const core::ScanNode* NodeOf(const FolderRankingModel& model, std::uint64_t index) {
  const auto& nodes = model.Result().nodes;
  return index < nodes.size() ? &nodes[index] : nullptr;
}

}  // namespace

std::u16string FolderRowText(const FolderRankingModel& model, std::size_t row, FolderColumn column,
                             std::u16string_view languageSetting, const LocaleQueries& locale) {
  if (row >= model.treeRows.size()) return {};
  const std::uint64_t index = model.treeRows[row].node;
  const core::ScanNode* node = NodeOf(model, index);
  if (node == nullptr) return {};
  const bool folder = node->isDirectory != 0;
  switch (column) {
    case FolderColumn::Name:
      return node->name.empty() ? node->path : node->name;
    case FolderColumn::Share:
      return FormatShare(languageSetting, model.ShareOf(index, core::kNoNode), locale);
    case FolderColumn::Size:
      return FormatSize(languageSetting, RankingSize(*node), locale);
    case FolderColumn::Files:
      return folder ? FormatCount(languageSetting, node->fileCount, locale) : u"";
    case FolderColumn::Folders:
      return folder ? FormatCount(languageSetting, node->folderCount, locale) : u"";
    case FolderColumn::Path:
      return node->path;
  }
  return {};
}

std::u16string FileRowText(const FolderRankingModel& model, std::size_t row, FileColumn column,
                           std::u16string_view languageSetting, const LocaleQueries& locale) {
  if (row >= model.fileRows.size()) return {};
  const RankingRow& ranked = model.fileRows[row];
  const core::ScanNode* node = NodeOf(model, ranked.node);
  if (node == nullptr) return {};
  switch (column) {
    case FileColumn::Share:
      return FormatShare(languageSetting, ranked.share, locale);
    case FileColumn::Size:
      return FormatSize(languageSetting, node->ownSize, locale);
    case FileColumn::Name:
      return node->name;
    case FileColumn::Path:
      return node->path;
  }
  return {};
}

std::u16string SubfolderRowText(const FolderRankingModel& model, std::size_t row,
                                SubfolderColumn column, std::u16string_view languageSetting,
                                const LocaleQueries& locale) {
  if (row >= model.subfolderRows.size()) return {};
  const RankingRow& ranked = model.subfolderRows[row];
  const core::ScanNode* node = NodeOf(model, ranked.node);
  if (node == nullptr) return {};
  switch (column) {
    case SubfolderColumn::Share:
      return FormatShare(languageSetting, ranked.share, locale);
    case SubfolderColumn::Size:
      return FormatSize(languageSetting, node->totalSize, locale);
    case SubfolderColumn::Files:
      return FormatCount(languageSetting, node->fileCount, locale);
    case SubfolderColumn::Folders:
      return FormatCount(languageSetting, node->folderCount, locale);
    case SubfolderColumn::Path:
      return node->path;
  }
  return {};
}

}  // namespace ombrix::app
