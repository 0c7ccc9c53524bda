#include "tools/ombrix_scan/scan_request.h"

#include <charconv>
#include <string_view>

#include "base/text_encoding.h"

namespace ombrix::scan_tool {

namespace {

std::optional<EngineRequest> EngineFromName(std::u16string_view name) {
  if (name == u"auto") return EngineRequest::Automatic;
  if (name == u"walk") return EngineRequest::Walk;
  if (name == u"ntquery") return EngineRequest::NtQuery;
  if (name == u"mft") return EngineRequest::Mft;
  return std::nullopt;
}

// Plain decimal digits only: "+5", "0x10", " 7" and overflow are refused.
std::optional<std::uint64_t> ParseCount(std::u16string_view text) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  std::string ascii;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    ascii.push_back(static_cast<char>(c));
  }
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (error != std::errc{} || end != ascii.data() + ascii.size()) return std::nullopt;
  return value;
}

std::string Quoted(std::u16string_view text) { return "'" + base::ToUtf8(text) + "'"; }

class ArgumentReader {
 public:
  explicit ArgumentReader(const std::vector<std::u16string>& args) : args_(args) {}

  bool Done() const { return index_ >= args_.size(); }
  const std::u16string& Next() { return args_[index_++]; }

  // The value of an option: the text after '=' in "--top=5", otherwise the
  // following argument.
  std::optional<std::u16string> Value(std::optional<std::u16string> inlineValue) {
    if (inlineValue) return inlineValue;
    if (Done()) return std::nullopt;
    return Next();
  }

 private:
  const std::vector<std::u16string>& args_;
  std::size_t index_ = 0;
};

ParsedCommandLine Error(std::string message) { return {std::nullopt, std::move(message)}; }

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::u16string>& args) {
  ScanRequest request;
  ArgumentReader reader(args);
  bool optionsEnded = false;
  while (!reader.Done()) {
    const std::u16string& arg = reader.Next();
    if (optionsEnded || arg.size() < 2 || arg[0] != u'-') {
      if (arg.empty()) return Error("an empty path was given");
      request.paths.push_back(arg);
      continue;
    }
    // "-json" is a mistyped option far more often than a relative path;
    // such a path can still be given after "--".
    if (arg[1] != u'-') return Error("unknown option " + Quoted(arg));
    if (arg == u"--") {
      optionsEnded = true;
      continue;
    }
    std::u16string name = arg;
    std::optional<std::u16string> inlineValue;
    if (const auto equals = arg.find(u'='); equals != std::u16string::npos) {
      name = arg.substr(0, equals);
      inlineValue = arg.substr(equals + 1);
    }

    const bool takesValue = name == u"--engine" || name == u"--threads" || name == u"--label" ||
                            name == u"--top" || name == u"--image" || name == u"--root" ||
                            name == u"--select" || name == u"--sizes" || name == u"--find" ||
                            name == u"--min-size" || name == u"--modified-before" ||
                            name == u"--load" || name == u"--save" || name == u"--compare" ||
                            name == u"--export-ncdu";
    const bool isFlag = name == u"--tree" || name == u"--json" || name == u"--progress" ||
                        name == u"--all-drives" || name == u"--help" || name == u"--types";
    if (!takesValue && !isFlag) return Error("unknown option " + Quoted(name));
    if (isFlag) {
      if (inlineValue) return Error("option " + Quoted(name) + " takes no value");
      if (name == u"--tree") request.tree = true;
      if (name == u"--json") request.json = true;
      if (name == u"--progress") request.progress = true;
      if (name == u"--all-drives") request.allDrives = true;
      if (name == u"--help") request.help = true;
      if (name == u"--types") request.types = true;
      continue;
    }

    const std::optional<std::u16string> value = reader.Value(inlineValue);
    if (!value) return Error("option " + Quoted(name) + " needs a value");
    if (name == u"--engine") {
      const auto engine = EngineFromName(*value);
      if (!engine) {
        return Error("unknown engine " + Quoted(*value) + " (use auto, walk, ntquery or mft)");
      }
      request.engine = *engine;
    } else if (name == u"--threads") {
      const auto threads = ParseCount(*value);
      if (!threads || *threads < 1 || *threads > kMaxThreads) {
        return Error("--threads needs a whole number from 1 to 64, not " + Quoted(*value));
      }
      request.threads = threads;
    } else if (name == u"--top") {
      const auto top = ParseCount(*value);
      if (!top) return Error("--top needs a whole number, not " + Quoted(*value));
      request.topCount = *top;
    } else if (name == u"--label") {
      if (value->empty()) return Error("--label needs a non-empty text");
      request.label = *value;
    } else if (name == u"--image") {
      if (value->empty()) return Error("--image needs a file name");
      request.imageFile = *value;
    } else if (name == u"--select") {
      if (value->empty()) return Error("--select needs the path of a scanned file or folder");
      request.select = *value;
    } else if (name == u"--sizes") {
      if (*value == u"logical") {
        request.sizes = core::SizeBasis::Logical;
      } else if (*value == u"disk") {
        request.sizes = core::SizeBasis::OnDisk;
      } else {
        return Error("--sizes needs logical or disk, not " + Quoted(*value));
      }
    } else if (name == u"--find") {
      request.find = *value;
    } else if (name == u"--min-size") {
      request.minSize = app::ParseSizeText(*value);
      if (!request.minSize) {
        return Error("--min-size needs a size such as 500MB or 1GB, not " + Quoted(*value));
      }
    } else if (name == u"--modified-before") {
      request.modifiedBefore = app::ParseDateText(*value);
      if (!request.modifiedBefore) {
        return Error("--modified-before needs a date as YYYY-MM-DD, not " + Quoted(*value));
      }
    } else if (name == u"--root") {
      if (value->empty()) return Error("--root needs a folder inside the image");
      request.imageRoot = *value;
    } else if (!value->empty()) {
      if (name == u"--load") request.loadFile = *value;
      if (name == u"--save") request.saveFile = *value;
      if (name == u"--compare") request.compareFile = *value;
      if (name == u"--export-ncdu") request.ncduExportFile = *value;
    } else {
      return Error(Quoted(name) + " needs a file name");
    }
  }

  if (request.help) return {std::move(request), {}};
  if (request.imageRoot && !request.imageFile) return Error("--root needs --image");
  if ((request.minSize || request.modifiedBefore) && !request.find) {
    return Error("--min-size and --modified-before need --find");
  }
  if (request.loadFile && (request.imageFile || request.allDrives || !request.paths.empty())) {
    return Error("--load opens a saved scan instead of scanning: give no paths, --image or --all-drives");
  }
  if (request.imageFile && !request.paths.empty()) {
    return Error("give either --image or paths, not both");
  }
  if (request.imageFile && request.allDrives) {
    return Error("give either --image or --all-drives, not both");
  }
  if (request.allDrives && !request.paths.empty()) {
    return Error("give either --all-drives or paths, not both");
  }
  if (!request.loadFile && !request.imageFile && !request.allDrives && request.paths.empty()) {
    return Error("no path to scan was given");
  }
  return {std::move(request), {}};
}

const char* UsageText() {
  return "Usage: ombrix-scan [options] PATH...\n"
         "       ombrix-scan [options] --all-drives\n"
         "       ombrix-scan [options] --image FILE [--root \\folder]\n"
         "       ombrix-scan [options] --load FILE\n"
         "\n"
         "Scans folders or drives and reports their sizes.\n"
         "\n"
         "Options:\n"
         "  --engine auto|walk|ntquery|mft  scanning technique (default auto)\n"
         "  --threads N       worker threads per drive, 1 to 64\n"
         "  --label TEXT      name of the common root when several paths are scanned\n"
         "  --top N           number of largest files and folders to list (default 30)\n"
         "  --select PATH     list the largest files and folders below PATH, a scanned\n"
         "                    file or folder, instead of below the root; PATH must be\n"
         "                    written as the report writes it (trailing separators\n"
         "                    are ignored)\n"
         "  --sizes logical|disk  rank by logical sizes (default) or sizes on disk\n"
         "  --types           list the file types below the ranked folder: every\n"
         "                    extension with its size, size on disk and files\n"
         "  --find PATTERN    list the files below the ranked folder whose names match\n"
         "                    PATTERN ('*' and '?', case-insensitive, several patterns\n"
         "                    separated by ';'), the largest --top of them first\n"
         "  --min-size N      with --find: files of at least N bytes (500MB, 1GB, ...)\n"
         "  --modified-before DATE\n"
         "                    with --find: files last written before DATE (YYYY-MM-DD,\n"
         "                    the day's start in UTC)\n"
         "  --tree            with --json: list every node\n"
         "  --json            write one JSON object (UTF-8) instead of the summary\n"
         "  --progress        print progress to the standard error stream\n"
         "  --image FILE      scan an NTFS volume image instead of paths\n"
         "  --root \\folder    with --image: the folder inside the image to scan\n"
         "  --all-drives      scan every local drive\n"
         "  --load FILE       open a saved scan (or an ncdu JSON export) instead of\n"
         "                    scanning; every other option works on it\n"
         "  --save FILE       save the scan to FILE (Ombrix's own format)\n"
         "  --compare FILE    compare with an earlier saved scan: every node gets its\n"
         "                    change since then\n"
         "  --export-ncdu FILE  write the scan in ncdu's JSON export format\n"
         "  --help            show this text\n"
         "\n"
         "Exit codes: 0 completed, 1 cancelled (Ctrl+C), 2 failed or bad usage.\n";
}

}  // namespace ombrix::scan_tool
