#include "app/ranking/row_texts.h"

#include <algorithm>
#include <cstdint>
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

void ReplaceField(std::u16string& text, std::u16string_view field, std::u16string_view value) {
  if (const auto at = text.find(field); at != std::u16string::npos) {
    text.replace(at, field.size(), value);
  }
}

// "+1.5 MB" or "-200 KB": the magnitude in the language's format, then
// its sign.
std::u16string SignedSize(std::int64_t bytes, std::u16string_view languageSetting,
                          const LocaleQueries& locale) {
  const std::uint64_t magnitude = bytes < 0 ? 0 - static_cast<std::uint64_t>(bytes)
                                            : static_cast<std::uint64_t>(bytes);
  return (bytes < 0 ? u"-" : u"+") + FormatSize(languageSetting, magnitude, locale);
}

std::u16string SignedCount(std::int64_t count, std::u16string_view languageSetting,
                           const LocaleQueries& locale) {
  const std::uint64_t magnitude = count < 0 ? 0 - static_cast<std::uint64_t>(count)
                                            : static_cast<std::uint64_t>(count);
  return (count < 0 ? u"-" : u"+") + FormatCount(languageSetting, magnitude, locale);
}

// The last name of a path as the earlier scan had it.
std::u16string LastName(const std::u16string& path) {
  const auto slash = path.find_last_of(u"\\/");
  if (slash == std::u16string::npos || slash + 1 == path.size()) return path;
  return path.substr(slash + 1);
}

const DeletedNode* DeletedOf(const FolderRankingModel& model, std::uint64_t index) {
  const ShownComparison* comparison = model.Comparison();
  return comparison != nullptr ? comparison->Deleted(index) : nullptr;
}

std::u16string NodeChangeText(const FolderRankingModel& model, std::uint64_t node,
                              std::u16string_view languageSetting, const LocaleQueries& locale,
                              const ChangeTexts& texts) {
  const ShownComparison* comparison = model.Comparison();
  const NodeChange* change = comparison != nullptr ? comparison->ChangeOf(node) : nullptr;
  return change != nullptr ? ChangeText(*change, languageSetting, locale, texts) : u"";
}

// A deleted row's texts: its name, path and change; nothing else is known
// of it now.
std::u16string DeletedRowText(const DeletedNode& deleted, bool nameColumn, bool pathColumn,
                              bool changeColumn, std::u16string_view languageSetting,
                              const LocaleQueries& locale, const ChangeTexts& texts) {
  if (nameColumn) return LastName(deleted.path);
  if (pathColumn) return deleted.path;
  if (changeColumn) return DeletedText(deleted, languageSetting, locale, texts);
  return {};
}

}  // namespace

std::u16string ChangeText(const NodeChange& change, std::u16string_view languageSetting,
                          const LocaleQueries& locale, const ChangeTexts& texts) {
  if (change.kind == ChangeKind::Unchanged) return {};
  const std::u16string size = SignedSize(change.bytes, languageSetting, locale);
  std::u16string text;
  if (change.kind == ChangeKind::Added) {
    text = texts.added;
    ReplaceField(text, u"{size}", size);
    return text;
  }
  if (change.files == 0) return size;
  text = texts.withFiles;
  ReplaceField(text, u"{size}", size);
  ReplaceField(text, u"{count}", SignedCount(change.files, languageSetting, locale));
  return text;
}

std::u16string DeletedText(const DeletedNode& deleted, std::u16string_view languageSetting,
                           const LocaleQueries& locale, const ChangeTexts& texts) {
  std::u16string text = texts.deleted;
  const std::uint64_t bytes = std::min<std::uint64_t>(deleted.bytes, INT64_MAX);
  ReplaceField(text, u"{size}",
               SignedSize(-static_cast<std::int64_t>(bytes), languageSetting, locale));
  return text;
}

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
                             const SizeMarkTexts& marks, const ChangeTexts& changes) {
  if (row >= model.treeRows.size()) return {};
  const std::uint64_t index = model.treeRows[row].node;
  if (const DeletedNode* deleted = DeletedOf(model, model.treeRows[row].deleted)) {
    return DeletedRowText(*deleted, column == FolderColumn::Name, column == FolderColumn::Path,
                          column == FolderColumn::Change, languageSetting, locale, changes);
  }
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
    case FolderColumn::Change:
      return NodeChangeText(model, index, languageSetting, locale, changes);
  }
  return {};
}

std::u16string FileRowText(const FolderRankingModel& model, std::size_t row, FileColumn column,
                           std::u16string_view languageSetting, const LocaleQueries& locale,
                           const SizeMarkTexts& marks, const ChangeTexts& changes) {
  if (row >= model.fileRows.size()) return {};
  const RankingRow& ranked = model.fileRows[row];
  if (const DeletedNode* deleted = DeletedOf(model, ranked.deleted)) {
    return DeletedRowText(*deleted, column == FileColumn::Name, column == FileColumn::Path,
                          column == FileColumn::Change, languageSetting, locale, changes);
  }
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
    case FileColumn::Change:
      return NodeChangeText(model, ranked.node, languageSetting, locale, changes);
  }
  return {};
}

std::u16string SubfolderRowText(const FolderRankingModel& model, std::size_t row,
                                SubfolderColumn column, std::u16string_view languageSetting,
                                const LocaleQueries& locale, const SizeMarkTexts& marks,
                                const ChangeTexts& changes) {
  if (row >= model.subfolderRows.size()) return {};
  const RankingRow& ranked = model.subfolderRows[row];
  if (const DeletedNode* deleted = DeletedOf(model, ranked.deleted)) {
    return DeletedRowText(*deleted, false, column == SubfolderColumn::Path,
                          column == SubfolderColumn::Change, languageSetting, locale, changes);
  }
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
    case SubfolderColumn::Change:
      return NodeChangeText(model, ranked.node, languageSetting, locale, changes);
  }
  return {};
}

}  // namespace ombrix::app
