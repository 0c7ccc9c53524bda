// ombrix-scan's command line, parsed into one request. Parsing only checks
// the form of the arguments; whether the requested engine exists in this
// build is decided where the request is run (scan_dispatch.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/find/find_query.h"
#include "app/ranking/folder_ranking_model.h"

namespace ombrix::scan_tool {

enum class EngineRequest { Automatic, Walk, NtQuery, Mft };

inline constexpr std::uint64_t kDefaultTopCount = app::kRankingLength;
inline constexpr std::uint64_t kMaxThreads = 64;

struct ScanRequest {
  EngineRequest engine = EngineRequest::Automatic;
  std::optional<std::uint64_t> threads;  // unset: the engine's default
  std::optional<std::u16string> label;
  std::uint64_t topCount = kDefaultTopCount;
  // Rank below the node with this path (as the window does after a click
  // on it) instead of below the root.
  std::optional<std::u16string> select;
  // What the rankings, shares and the tree's order go by.
  core::SizeBasis sizes = core::SizeBasis::Logical;
  bool tree = false;
  bool json = false;
  bool progress = false;
  bool help = false;
  bool allDrives = false;
  std::optional<std::u16string> imageFile;
  std::optional<std::u16string> imageRoot;  // folder inside the image, "\\" form
  std::vector<std::u16string> paths;
  // The file types below the ranked node, and the files there that match
  // a pattern (find_query.h), at least minSize bytes, last written before
  // the day modifiedBefore (UTC).
  bool types = false;
  std::optional<std::u16string> find;
  std::optional<std::uint64_t> minSize;
  std::optional<app::CalendarDate> modifiedBefore;
  // Scans as files: opened instead of scanning (a saved scan or an ncdu
  // export), compared with, written after the scan.
  std::optional<std::u16string> loadFile;
  std::optional<std::u16string> compareFile;
  std::optional<std::u16string> saveFile;
  std::optional<std::u16string> ncduExportFile;
};

struct ParsedCommandLine {
  std::optional<ScanRequest> request;  // set when the arguments are well formed
  std::string error;                   // one English line otherwise
};

// args excludes the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::u16string>& args);

// The usage text, ending in a newline.
const char* UsageText();

}  // namespace ombrix::scan_tool
