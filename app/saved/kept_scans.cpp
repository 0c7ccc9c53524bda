#include "app/saved/kept_scans.h"

#include <algorithm>
#include <new>
#include <vector>

#include "app/ranking/folder_ranking_model.h"
#include "app/saved/saved_scan_format.h"
#include "app/saved/saved_scan_writer.h"
#include "app/saved/zstd_frame.h"
#include "app/settings/settings_paths.h"
#include "base/name_case.h"
#include "base/text_encoding.h"

namespace ombrix::app {
namespace {

// The readable part of a folder's name keeps this many units of the path's
// end, where the folders that tell two roots apart are; the hash tells
// apart what it cut off. Short enough that a settings folder deep in a
// portable copy still has room for the name.
constexpr std::size_t kReadableUnits = 40;

bool IsSeparator(char16_t unit) { return unit == u'\\' || unit == u'/'; }

bool IsAsciiLetter(char16_t unit) {
  return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
}

bool FitsAFileName(char16_t unit) {
  return unit >= 0x20 && std::u16string_view(u"<>:\"/\\|?*").find(unit) == std::u16string_view::npos;
}

bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// FNV-1a over both bytes of every unit, cut to 48 bits: twelve hex digits
// are plenty for the few roots one user scans.
std::u16string ShortHash(std::u16string_view text) {
  std::uint64_t hash = 0xCBF29CE484222325;
  for (const char16_t unit : text) {
    for (const unsigned byte : {unsigned{unit} & 0xFFu, unsigned{unit} >> 8}) {
      hash = (hash ^ byte) * 0x100000001B3;
    }
  }
  std::u16string digits(12, u'0');
  for (std::size_t i = digits.size(); i-- > 0; hash >>= 4) {
    digits[i] = u"0123456789abcdef"[hash & 0xF];
  }
  return digits;
}

std::u16string FolderStem(std::u16string_view trimmed) {
  // Windows compares paths without case and takes '/' for '\': the stem is
  // made from one spelling of each.
  std::u16string folded;
  for (const char16_t unit : trimmed) {
    folded += IsSeparator(unit) ? u'\\' : base::FoldNameUnit(unit);
  }
  std::u16string_view end = folded;
  if (end.size() > kReadableUnits) {
    end = end.substr(end.size() - kReadableUnits);
    if (IsLowSurrogate(end.front())) end.remove_prefix(1);  // half a character
  }
  std::u16string stem;
  for (const char16_t unit : end) stem += FitsAFileName(unit) ? unit : u'_';
  return stem + u'-' + ShortHash(folded);
}

std::u16string KeptScanStem(std::u16string_view rootPath) {
  if (rootPath == kAllDrivesLabel) return kAllDrivesLabel;
  while (!rootPath.empty() && IsSeparator(rootPath.back())) rootPath.remove_suffix(1);
  if (rootPath.size() == 2 && rootPath[1] == u':' && IsAsciiLetter(rootPath[0])) {
    return std::u16string(1, base::FoldNameUnit(rootPath[0]));
  }
  return FolderStem(rootPath);
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  return base::CompareFolded(a, b) == 0;
}

bool IsKeptScanName(std::u16string_view name) {
  const std::u16string_view extension = kSavedScanExtension;
  return name.size() > extension.size() &&
         SameName(name.substr(name.size() - extension.size()), extension);
}

// The kept files in the folder; empty when it cannot be listed.
std::vector<FolderFile> ListKeptScans(const SettingsFiles& files, const std::u16string& folder) {
  std::vector<FolderFile> listed;
  if (!files.listFolder(folder, listed)) return {};
  std::erase_if(listed, [](const FolderFile& file) { return !IsKeptScanName(file.name); });
  return listed;
}

void DropOldestOverCap(const SettingsFiles& files, const std::u16string& folder,
                       std::u16string_view keptName, std::uint64_t capBytes) {
  std::vector<FolderFile> kept = ListKeptScans(files, folder);
  std::uint64_t total = 0;
  for (const FolderFile& file : kept) total += file.byteSize;
  std::sort(kept.begin(), kept.end(), [](const FolderFile& a, const FolderFile& b) {
    return a.lastWriteTime != b.lastWriteTime ? a.lastWriteTime < b.lastWriteTime : a.name < b.name;
  });
  for (const FolderFile& file : kept) {
    if (total <= capBytes) break;
    if (SameName(file.name, keptName)) continue;
    files.removeFile(AppendPathComponent(folder, file.name));
    total -= file.byteSize;
  }
}

bool HoldsFile(const std::vector<FolderFile>& listed, std::u16string_view name) {
  return std::any_of(listed.begin(), listed.end(),
                     [name](const FolderFile& file) { return SameName(file.name, name); });
}

}  // namespace

std::u16string KeptScansFolder(std::u16string_view settingsFilePath) {
  const std::u16string settingsFolder = ParentFolder(settingsFilePath);
  if (settingsFolder.empty()) return {};
  return AppendPathComponent(settingsFolder, kKeptScansFolderName);
}

std::u16string KeptScanName(std::u16string_view rootPath) {
  return KeptScanStem(rootPath) + kSavedScanExtension;
}

std::u16string PreviousKeptScanName(std::u16string_view rootPath) {
  return KeptScanStem(rootPath) + kPreviousKeptScanSuffix + kSavedScanExtension;
}

bool KeepScan(const SettingsFiles& files, const std::u16string& folder,
              const core::ScanResult& result, std::uint64_t nodeCount, std::uint64_t capBytes) {
  try {
    const std::u16string latestName = KeptScanName(result.rootPath);
    const std::u16string latest = AppendPathComponent(folder, latestName);
    const std::u16string previous =
        AppendPathComponent(folder, PreviousKeptScanName(result.rootPath));
    const std::optional<std::string> bytes =
        EncodeSavedScan(result, nodeCount, kSavedScanCompressionLevel);
    std::vector<FolderFile> listed;
    if (!bytes || !files.createFolders(folder) || !files.listFolder(folder, listed)) return false;
    // The new scan is written in full before any kept file moves, so a
    // full disk costs nothing that was kept.
    const std::u16string temporary =
        latest + u'.' + base::FromUtf8(std::to_string(files.processId)) + u".tmp";
    const bool hadLatest = HoldsFile(listed, latestName);
    if (!files.writeFile(temporary, *bytes) ||
        (hadLatest && !files.replaceFile(latest, previous))) {
      files.removeFile(temporary);
      return false;
    }
    if (!files.replaceFile(temporary, latest)) {
      // The former latest goes back under its name; the previous scan it
      // replaced is gone.
      if (hadLatest) files.replaceFile(previous, latest);
      files.removeFile(temporary);
      return false;
    }
    DropOldestOverCap(files, folder, latestName, capBytes);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

std::optional<std::u16string> KeptScanBefore(const SettingsFiles& files,
                                             const std::u16string& folder,
                                             std::u16string_view rootPath,
                                             std::uint64_t scanTime) {
  const std::u16string names[] = {KeptScanName(rootPath), PreviousKeptScanName(rootPath)};
  const FolderFile* newest = nullptr;
  const std::vector<FolderFile> kept = ListKeptScans(files, folder);
  for (const FolderFile& file : kept) {
    if (file.lastWriteTime >= scanTime) continue;
    if (!SameName(file.name, names[0]) && !SameName(file.name, names[1])) continue;
    if (newest == nullptr || file.lastWriteTime > newest->lastWriteTime) newest = &file;
  }
  if (newest == nullptr) return std::nullopt;
  return AppendPathComponent(folder, newest->name);
}

}  // namespace ombrix::app
