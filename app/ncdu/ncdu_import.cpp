#include "app/ncdu/ncdu_import.h"

#include <algorithm>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app/ncdu/ncdu_names.h"
#include "base/wall_clock.h"
#include "core/scan_paths.h"
#include "core/scan_tree_builder.h"

namespace ombrix::app {
namespace {

// A JSON reader for exactly what an export holds. Each method consumes
// one token or value and answers false when the text is not what it must
// be; the first false ends the import.
class JsonCursor {
 public:
  explicit JsonCursor(std::string_view text) : text_(text) {}

  void SkipSpace() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
      ++at_;
    }
  }
  // The next character after white space, not consumed; 0 at the end.
  char Peek() {
    SkipSpace();
    return at_ < text_.size() ? text_[at_] : '\0';
  }
  bool Take(char c) {
    if (Peek() != c) return false;
    ++at_;
    return true;
  }
  bool AtEnd() {
    SkipSpace();
    return at_ == text_.size();
  }

  bool String(std::u16string& value) {
    if (!Take('"')) return false;
    value.clear();
    std::size_t runStart = at_;
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '"') {
        value += NcduNameFromBytes(text_.substr(runStart, at_ - runStart));
        ++at_;
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        ++at_;
        continue;
      }
      value += NcduNameFromBytes(text_.substr(runStart, at_ - runStart));
      if (++at_ >= text_.size()) return false;
      const char escaped = text_[at_++];
      switch (escaped) {
        case '"':
        case '\\':
        case '/':
          value.push_back(static_cast<char16_t>(escaped));
          break;
        case 'b':
          value.push_back(u'\b');
          break;
        case 'f':
          value.push_back(u'\f');
          break;
        case 'n':
          value.push_back(u'\n');
          break;
        case 'r':
          value.push_back(u'\r');
          break;
        case 't':
          value.push_back(u'\t');
          break;
        case 'u': {
          char16_t unit = 0;
          if (!Hex4(unit)) return false;
          value.push_back(unit);
          break;
        }
        default:
          return false;
      }
      runStart = at_;
    }
    return false;
  }

  // A whole number without sign, fraction or exponent (all ncdu writes).
  bool Unsigned(std::uint64_t& value) {
    SkipSpace();
    const std::size_t start = at_;
    value = 0;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
      const std::uint64_t digit = static_cast<std::uint64_t>(text_[at_] - '0');
      if (value > (~std::uint64_t{0} - digit) / 10) return false;
      value = value * 10 + digit;
      ++at_;
    }
    return at_ > start && !NumberGoesOn();
  }

  bool Boolean(bool& value) {
    SkipSpace();
    if (text_.substr(at_).starts_with("true")) {
      at_ += 4;
      value = true;
      return true;
    }
    if (text_.substr(at_).starts_with("false")) {
      at_ += 5;
      value = false;
      return true;
    }
    return false;
  }

  // Any value, skipped: nested ones by counting brackets, on no stack.
  bool SkipValue() {
    std::u16string ignored;
    std::size_t depth = 0;
    do {
      const char c = Peek();
      if (c == '"') {
        if (!String(ignored)) return false;
      } else if (c == '{' || c == '[') {
        ++at_;
        ++depth;
        continue;  // an empty container closes next round
      } else if (c == '}' || c == ']') {
        if (depth == 0) return false;
        ++at_;
        --depth;
      } else if (c == ',' || c == ':') {
        if (depth == 0) return false;
        ++at_;
        continue;
      } else if (!SkipScalar()) {
        return false;
      }
    } while (depth > 0);
    return true;
  }

 private:
  bool Hex4(char16_t& unit) {
    if (text_.size() - at_ < 4) return false;
    unit = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) return false;
      unit = static_cast<char16_t>(unit << 4 | digit);
    }
    return true;
  }
  bool NumberGoesOn() const {
    return at_ < text_.size() && (text_[at_] == '.' || text_[at_] == 'e' || text_[at_] == 'E');
  }
  // A number (any form), true, false or null.
  bool SkipScalar() {
    SkipSpace();
    for (const std::string_view word : {"true", "false", "null"}) {
      if (text_.substr(at_).starts_with(word)) {
        at_ += word.size();
        return true;
      }
    }
    const std::size_t start = at_;
    while (at_ < text_.size() && (std::string_view("+-.0123456789eE").find(text_[at_]) !=
                                  std::string_view::npos)) {
      ++at_;
    }
    return at_ > start;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

struct ItemInfo {
  std::u16string name;
  std::uint64_t asize = 0;
  std::uint64_t dsize = 0;
  std::optional<std::uint64_t> dev;
  std::optional<std::uint64_t> ino;
  std::uint64_t nlink = 0;
  bool hardLinked = false;
  bool readError = false;
  std::uint64_t mtime = 0;  // UNIX seconds; 0 when not given
};

bool ReadInfo(JsonCursor& in, ItemInfo& info) {
  if (!in.Take('{')) return false;
  if (in.Take('}')) return true;
  std::u16string key;
  do {
    if (!in.String(key) || !in.Take(':')) return false;
    bool ok = true;
    if (key == u"name") {
      ok = in.String(info.name);
    } else if (key == u"asize") {
      ok = in.Unsigned(info.asize);
    } else if (key == u"dsize") {
      ok = in.Unsigned(info.dsize);
    } else if (key == u"dev") {
      info.dev.emplace();
      ok = in.Unsigned(*info.dev);
    } else if (key == u"ino") {
      info.ino.emplace();
      ok = in.Unsigned(*info.ino);
    } else if (key == u"nlink") {
      ok = in.Unsigned(info.nlink);
    } else if (key == u"hlnkc") {
      ok = in.Boolean(info.hardLinked);
    } else if (key == u"read_error") {
      ok = in.Boolean(info.readError);
    } else if (key == u"mtime") {
      ok = in.Unsigned(info.mtime);
    } else {
      ok = in.SkipValue();  // notreg, excluded, uid, mode, ... and keys to come
    }
    if (!ok) return false;
  } while (in.Take(','));
  return in.Take('}');
}

// The export's timestamp from its metadata object, when it has one.
bool ReadMetadata(JsonCursor& in, std::uint64_t& timestamp) {
  if (in.Peek() != '{') return in.SkipValue();
  in.Take('{');
  if (in.Take('}')) return true;
  std::u16string key;
  do {
    if (!in.String(key) || !in.Take(':')) return false;
    const bool ok = key == u"timestamp" && in.Peek() >= '0' && in.Peek() <= '9'
                        ? in.Unsigned(timestamp)
                        : in.SkipValue();
    if (!ok) return false;
  } while (in.Take(','));
  return in.Take('}');
}

constexpr std::uint64_t kFileTimePerSecond = 10'000'000;
constexpr std::uint32_t kReadErrorCode = 5;  // counted with the folders that could not be read

std::uint64_t FileTimeOfUnixSeconds(std::uint64_t seconds) {
  if (seconds == 0 || seconds > (~std::uint64_t{0} - base::kUnixEpochAsFileTime) / kFileTimePerSecond) {
    return 0;
  }
  return base::kUnixEpochAsFileTime + seconds * kFileTimePerSecond;
}

class TreeReader {
 public:
  explicit TreeReader(JsonCursor& in) : in_(in) {}

  // The root item and everything below it.
  bool Read() {
    if (!ReadItem()) return false;
    while (!open_.empty()) {
      if (in_.Take(',')) {
        if (!ReadItem()) return false;
      } else if (in_.Take(']')) {
        open_.pop_back();
      } else {
        return false;
      }
    }
    return true;
  }

  // The tree, with an issue for every item that could not be read; paths
  // are made only now, for those items alone (a deep export would
  // otherwise keep the path of every open folder).
  core::ScanTreeBuilder& Finish() {
    for (const std::uint64_t node : unreadable_) {
      builder_.AddIssue(builder_.nodes.Path(node), kReadErrorCode);
    }
    builder_.ComputeTotals();
    return builder_;
  }

 private:
  struct OpenFolder {
    std::uint64_t node;
    std::uint64_t dev;
  };

  bool ReadItem() {
    const bool folder = in_.Take('[');
    ItemInfo info;
    // Every item has a name: an empty one would make a path that names its
    // parent instead.
    if (!ReadInfo(in_, info) || info.name.empty()) return false;
    const std::uint64_t dev = info.dev.value_or(open_.empty() ? 0 : open_.back().dev);
    const std::uint64_t time = FileTimeOfUnixSeconds(info.mtime);
    std::uint64_t node = 0;
    if (open_.empty()) {
      if (rootAdded_) return false;  // one root only
      rootAdded_ = true;
      const std::u16string path = core::TrimTrailingSeparators(info.name);
      node = builder_.AddRoot(core::LeafName(path), path, core::kAttributeDirectory, time);
      builder_.nodes.SetFolderOwnSize(node, info.asize, info.dsize);
    } else {
      const OpenFolder& parent = open_.back();
      if (folder) {
        node = builder_.AddDirectory(parent.node, info.name, core::kAttributeDirectory, time);
        builder_.nodes.SetFolderOwnSize(node, info.asize, info.dsize);
      } else {
        node = builder_.AddFile(parent.node, info.name, 0, info.asize, time, info.dsize);
        if (info.hardLinked && info.ino) {
          builder_.SetFileIdentity(node, IdentityOf(dev, *info.ino),
                                   static_cast<std::uint32_t>(std::min<std::uint64_t>(
                                       info.nlink, 0xFFFFFFFFu)));
        }
      }
    }
    if (info.readError) unreadable_.push_back(node);
    // The root as an object (a file given as the root) stays an empty folder.
    if (folder) open_.push_back(OpenFolder{node, dev});
    return true;
  }

  // Names of one inode share an identity; inode numbers are unique per
  // device only.
  std::uint64_t IdentityOf(std::uint64_t dev, std::uint64_t ino) {
    return identities_.try_emplace({dev, ino}, identities_.size()).first->second;
  }

  JsonCursor& in_;
  core::ScanTreeBuilder builder_;
  std::vector<OpenFolder> open_;
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::uint64_t> identities_;
  std::vector<std::uint64_t> unreadable_;
  bool rootAdded_ = false;
};

OpenedScan Failure(SavedScanError error) { return OpenedScan{std::nullopt, error}; }

}  // namespace

bool LooksLikeNcduExport(std::string_view bytes) {
  JsonCursor in(bytes);
  return in.Peek() == '[';
}

OpenedScan ImportNcduExport(std::string_view json) {
  JsonCursor in(json);
  std::uint64_t major = 0;
  std::uint64_t minor = 0;
  if (!in.Take('[') || !in.Unsigned(major)) return Failure(SavedScanError::NotAScan);
  if (major != 1) return Failure(SavedScanError::NewerVersion);
  std::uint64_t timestamp = 0;
  if (!in.Take(',') || !in.Unsigned(minor) || !in.Take(',') || !ReadMetadata(in, timestamp) ||
      !in.Take(',')) {
    return Failure(SavedScanError::Corrupted);
  }
  try {
    TreeReader tree(in);
    if (!tree.Read() || !in.Take(']') || !in.AtEnd()) {
      return Failure(in.AtEnd() ? SavedScanError::Truncated : SavedScanError::Corrupted);
    }
    core::ScanTreeBuilder& builder = tree.Finish();
    const std::u16string rootPath = builder.nodes.Path(builder.rootIndex);
    core::ScanResult result = builder.BuildResult(core::ScanStatus::Completed, rootPath, 0);
    result.engine = core::ScanEngineKind::NcduExport;
    result.scanTime = FileTimeOfUnixSeconds(timestamp);
    return OpenedScan{std::move(result), SavedScanError::None};
  } catch (const std::bad_alloc&) {
    return Failure(SavedScanError::OutOfMemory);
  } catch (const std::length_error&) {
    return Failure(SavedScanError::OutOfMemory);  // more nodes than a result holds
  }
}

}  // namespace ombrix::app
