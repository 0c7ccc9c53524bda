// ombrix-scan --json: one JSON object for a whole result. Names come from
// the file system and may hold anything Windows allows (quotes, control
// characters, unpaired surrogates), so every string is escaped and encoded
// here, straight into the output buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "app/compare/scan_comparison.h"
#include "app/ranking/folder_ranking_model.h"
#include "tools/ombrix_scan/buffered_output.h"

namespace ombrix::scan_tool {

// Appends text as a JSON string literal, quotes included: UTF-8, with '"',
// '\\' and control characters escaped and unpaired surrogates as U+FFFD.
void AppendJsonString(BufferedOutput& out, std::u16string_view text);

// The pieces of the report, for its sections written elsewhere: a key with
// its colon, fields, and an array of objects (each writeItem call writes
// one object's fields; each element on its own line keeps huge reports
// greppable).
void AppendKey(BufferedOutput& out, std::string_view key);
void AppendNumberField(BufferedOutput& out, std::string_view key, std::uint64_t value);
void AppendStringField(BufferedOutput& out, std::string_view key, std::u16string_view value);
void AppendAsciiField(BufferedOutput& out, std::string_view key, std::string_view value);

template <typename Items, typename WriteItem>
void AppendArray(BufferedOutput& out, std::string_view key, const Items& items,
                 WriteItem writeItem) {
  AppendKey(out, key);
  out.Append('[');
  bool first = true;
  for (const auto& item : items) {
    out.Append(first ? "\n{" : ",\n{");
    first = false;
    writeItem(item);
    out.Append('}');
  }
  out.Append(']');
}

// Writes further fields of the report's object, each preceded by a comma.
using JsonSections = std::function<void(BufferedOutput& out)>;

// The object, then a newline: the model's result, with its file rows as
// topFiles and its subfolder rows as topFolders. `nodes` is written only
// when includeTree; moreSections last. With a comparison (--compare), every
// node and row gains "change" and the nodes gone since the earlier scan are
// listed as "deleted".
void WriteJsonReport(BufferedOutput& out, const app::FolderRankingModel& ranking, bool includeTree,
                     const JsonSections& moreSections = {},
                     const app::ScanComparison* comparison = nullptr);

}  // namespace ombrix::scan_tool
