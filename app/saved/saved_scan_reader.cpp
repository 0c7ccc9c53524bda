#include "app/saved/saved_scan_reader.h"

#include <algorithm>
#include <bit>
#include <new>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "app/saved/zstd_frame.h"
#include "base/default_init_vector.h"
#include "base/le_reader.h"
#include "core/name_arena.h"
#include "core/node_name.h"

namespace ombrix::app {
namespace {

// Reads forward through bytes from outside; every read is checked, and the
// first one that does not fit makes every later one fail too.
class Cursor {
 public:
  explicit Cursor(std::string_view bytes)
      : reader_(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) {}

  bool ok() const { return ok_; }
  std::uint64_t Remaining() const { return reader_.Length() - offset_; }

  std::uint8_t U8() { return Take(reader_.U8(offset_), 1); }
  std::uint32_t U32() { return Take(reader_.U32(offset_), 4); }
  std::uint64_t U64() { return Take(reader_.U64(offset_), 8); }
  std::u16string Text() {
    const std::uint64_t units = U32();
    std::u16string text;
    if (ok_ && units <= Remaining() / 2 && reader_.Utf16(offset_, units, text)) {
      offset_ += 2 * units;
    } else {
      ok_ = false;
    }
    return text;
  }
  // count bytes, or null (and failure) when they are not all there.
  const std::uint8_t* Bytes(std::uint64_t count) {
    if (!ok_ || count > Remaining()) {
      ok_ = false;
      return nullptr;
    }
    const std::uint8_t* start = reader_.Data() + offset_;
    offset_ += count;
    return start;
  }

 private:
  template <typename T>
  T Take(std::optional<T> value, std::uint64_t width) {
    if (!ok_ || !value) {
      ok_ = false;
      return T{};
    }
    offset_ += width;
    return *value;
  }

  base::LeReader reader_;
  std::uint64_t offset_ = 0;
  bool ok_ = true;
};

struct Header {
  std::uint32_t version = 0;
  std::uint32_t metadataLength = 0;
  std::uint64_t payloadLength = 0;
  std::uint64_t rawLength = 0;
};

struct Metadata {
  std::uint32_t status = 0;
  std::uint32_t engine = 0;
  std::uint64_t scanTime = 0;
  std::int64_t elapsedMs = 0;
  std::uint64_t fileCount = 0;
  std::uint64_t folderCount = 0;
  std::uint64_t issueCount = 0;
  std::uint64_t nodeCount = 0;
  std::uint64_t rootIndex = core::kNoNode;
  std::uint64_t rootSize = 0;
  std::uint64_t rootSizeOnDisk = 0;
  std::uint64_t nameBytes = 0;
  std::uint64_t linkGroupCount = 0;
  std::optional<core::VolumeSpace> space;
  std::u16string rootPath;
  std::u16string message;
};

Header ReadHeader(Cursor& in) {
  in.Bytes(kSavedScanMagic.size());
  Header header;
  header.version = in.U32();
  header.metadataLength = in.U32();
  header.payloadLength = in.U64();
  header.rawLength = in.U64();
  return header;
}

std::optional<Metadata> ReadMetadata(std::string_view bytes) {
  Cursor in(bytes);
  Metadata meta;
  meta.status = in.U32();
  meta.engine = in.U32();
  meta.scanTime = in.U64();
  meta.elapsedMs = static_cast<std::int64_t>(in.U64());
  meta.fileCount = in.U64();
  meta.folderCount = in.U64();
  meta.issueCount = in.U64();
  meta.nodeCount = in.U64();
  meta.rootIndex = in.U64();
  meta.rootSize = in.U64();
  meta.rootSizeOnDisk = in.U64();
  meta.nameBytes = in.U64();
  meta.linkGroupCount = in.U64();
  const std::uint8_t hasSpace = in.U8();
  if (hasSpace > 1) return std::nullopt;
  if (hasSpace == 1) {
    core::VolumeSpace space;
    for (std::uint64_t* field :
         {&space.volumeSize, &space.usedSpace, &space.freeSpace, &space.filesOnDisk,
          &space.metadata, &space.unreadable, &space.unexplained}) {
      *field = in.U64();
    }
    meta.space = space;
  }
  meta.rootPath = in.Text();
  meta.message = in.Text();
  if (!in.ok() || in.Remaining() != 0) return std::nullopt;
  return meta;
}

bool KnownStatus(std::uint32_t status) {
  return status == static_cast<std::uint32_t>(core::ScanStatus::Completed) ||
         status == static_cast<std::uint32_t>(core::ScanStatus::Cancelled) ||
         status == static_cast<std::uint32_t>(core::ScanStatus::Failed);
}

// The counts of the metadata, checked against what the raw payload can
// hold before anything is sized by them.
bool CountsFit(const Metadata& meta, std::uint64_t rawLength) {
  if (!KnownStatus(meta.status) ||
      meta.engine > static_cast<std::uint32_t>(core::ScanEngineKind::NcduExport)) {
    return false;
  }
  if (meta.nodeCount > core::kMaxNodes || meta.nodeCount > rawLength / kFixedBytesPerNode) {
    return false;
  }
  const std::uint64_t rest = rawLength - meta.nodeCount * kFixedBytesPerNode;
  if (meta.nameBytes > rest || meta.nameBytes < meta.nodeCount) return false;
  // Each group and each issue takes at least four bytes.
  return meta.linkGroupCount <= (rest - meta.nameBytes) / 4 &&
         meta.issueCount <= (rest - meta.nameBytes) / 8 &&
         (meta.nodeCount == 0 ? meta.rootIndex == core::kNoNode : meta.rootIndex < meta.nodeCount);
}

// A stored name seen through the bytes that have arrived so far.
struct StoredName {
  enum class State { Whole, Partial, Bad } state = State::Bad;
  std::size_t headerLength = 0;
  std::uint64_t units = 0;
  bool wide = false;       // two bytes a unit
  bool arenaForm = false;  // exactly as the result's arena would keep it
  // Bytes it takes, header included.
  std::uint64_t Length() const { return headerLength + units * (wide ? 2 : 1); }
};

// Whether the name at `at` lies whole before `end`, and whether it is in
// the form the arena keeps (its shortest header, two bytes a unit only when
// a unit needs them, little-endian as this machine keeps them). Nearly
// every name is: those are left where they were decompressed.
StoredName PeekName(const std::uint8_t* at, const std::uint8_t* end) {
  using State = StoredName::State;
  StoredName name;
  std::uint64_t header = 0;
  unsigned shift = 0;
  while (true) {
    if (shift > 28) return {};
    if (at + name.headerLength == end) return {State::Partial};
    const std::uint8_t byte = at[name.headerLength++];
    header |= std::uint64_t{byte & 0x7Fu} << shift;
    shift += 7;
    if ((byte & 0x80) == 0) break;
  }
  name.units = header >> 1;
  name.wide = (header & 1) != 0;
  if (name.units > core::kMaxNameLength) return {};
  if (name.Length() > static_cast<std::uint64_t>(end - at)) return {State::Partial};
  name.state = State::Whole;
  name.arenaForm = std::endian::native == std::endian::little &&
                   name.headerLength == core::NameHeaderLength(name.units, name.wide);
  if (name.arenaForm && name.wide) {
    name.arenaForm = false;
    for (std::uint64_t i = 0; i < name.units && !name.arenaForm; ++i) {
      name.arenaForm = at[name.headerLength + 2 * i + 1] != 0;
    }
  }
  return name;
}

// The units of a whole stored name, whatever its form.
std::u16string UnitsOf(const std::uint8_t* at, const StoredName& name) {
  const std::uint8_t* units = at + name.headerLength;
  std::u16string text(name.units, u'\0');
  for (std::uint64_t i = 0; i < name.units; ++i) {
    text[i] = name.wide ? static_cast<char16_t>(units[2 * i] | (units[2 * i + 1] << 8)) : units[i];
  }
  return text;
}

// The fixed columns at the payload's start: the flags on their own, the
// rest read straight into the blank nodes' fields, which hold them until
// each node is set.
struct NodeColumns {
  const std::uint8_t* flags;
  core::ScanNodes::BlankFields fields;  // parents hold the parent distances
};

// A column of W-byte values stored byte plane by byte plane, read straight
// into the values a piece of a plane at a time: no copy of the column, nor
// of the fixed columns together, is ever whole in memory.
template <typename T>
bool ReadColumn(FrameReader& frame, std::span<T> values, std::vector<std::uint8_t>& piece) {
  for (std::size_t b = 0; b < sizeof(T); ++b) {
    for (std::size_t first = 0; first < values.size(); first += piece.size()) {
      const std::size_t n = std::min(piece.size(), values.size() - first);
      if (!frame.Read(piece.data(), n)) return false;
      T* out = values.data() + first;
      if (b == 0) {
        for (std::size_t k = 0; k < n; ++k) out[k] = piece[k];
      } else {
        for (std::size_t k = 0; k < n; ++k) out[k] |= static_cast<T>(T{piece[k]} << (8 * b));
      }
    }
  }
  return true;
}

bool ReadColumns(FrameReader& frame, const core::ScanNodes::BlankFields& fields) {
  std::vector<std::uint8_t> piece(64 * 1024);
  return ReadColumn(frame, fields.parents, piece) && ReadColumn(frame, fields.attributes, piece) &&
         ReadColumn(frame, fields.sizes, piece) && ReadColumn(frame, fields.sizesOnDisk, piece) &&
         ReadColumn(frame, fields.lastWriteTimes, piece);
}

// Each node's flags on their own and against each other; counts the
// folders and lists the hard-linked nodes, in node order.
bool CheckFlags(const std::uint8_t* flags, std::uint64_t count, std::uint64_t& folders,
                std::vector<std::uint32_t>& linkedNodes) {
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint8_t f = flags[i];
    const bool folder = (f & kNodeDirectory) != 0;
    if ((f & ~kKnownNodeFlags) != 0 ||
        (folder && (f & (kNodeHardLinked | kNodePlaceholder)) != 0) ||
        ((f & kNodeOwnPath) != 0 && !folder)) {
      return false;
    }
    folders += folder ? 1 : 0;
    if ((f & kNodeHardLinked) != 0) linkedNodes.push_back(static_cast<std::uint32_t>(i));
  }
  return true;
}

// Sets the blank nodes of a result one after another, in node order, as
// their names arrive. A node whose name is kept elsewhere (one to rewrite
// into the arena's form, or a folder with its own path, which lies at the
// payload's end) waits until FinishWaiting.
class NodeFiller {
 public:
  NodeFiller(const NodeColumns& columns, std::uint64_t count, core::ScanNodes& nodes)
      : columns_(columns), count_(count), nodes_(nodes) {}

  // The next node, named by the stored name at `stored`, which lies at
  // nameOffset in the result's arena. False when the node does not fit
  // the ones before it.
  bool Next(const std::uint8_t* stored, const StoredName& name, std::uint64_t nameOffset) {
    if (next_ == count_) return false;
    const std::uint64_t i = next_++;
    const std::uint8_t flags = columns_.flags[i];
    const std::uint32_t distance = columns_.fields.parents[i];
    const bool ownPath = (flags & kNodeOwnPath) != 0;
    if (distance > i || (distance == 0 && !ownPath)) return false;
    const std::uint64_t parent = distance == 0 ? core::kNoNode : i - distance;
    if (parent != core::kNoNode && (columns_.flags[parent] & kNodeDirectory) == 0) return false;
    const std::uint64_t slot = (flags & kNodeDirectory) != 0 ? nextSlot_++ : 0;
    if (!ownPath && name.arenaForm) {
      Set(i, slot, parent, nameOffset);
      return true;
    }
    waiting_.push_back(Waiting{i, slot, parent, UnitsOf(stored, name)});
    return true;
  }

  bool AllNamed() const { return next_ == count_; }

  // The waiting nodes, their names in an arena of their own that the
  // result adopts behind the stored names, their own paths read from rest.
  bool FinishWaiting(Cursor& rest) {
    core::NameArena rewritten;
    std::vector<std::uint64_t> offsets;
    offsets.reserve(waiting_.size());
    for (const Waiting& node : waiting_) offsets.push_back(rewritten.Append(node.name));
    const std::uint64_t shift = nodes_.AdoptNames(std::move(rewritten));
    for (std::size_t k = 0; k < waiting_.size(); ++k) {
      const Waiting& node = waiting_[k];
      Set(node.index, node.slot, node.parent, shift + offsets[k]);
      if ((columns_.flags[node.index] & kNodeOwnPath) != 0) {
        const std::u16string path = rest.Text();
        if (!rest.ok()) return false;
        nodes_.SetOwnPath(node.index, path);
      }
    }
    return true;
  }

 private:
  struct Waiting {
    std::uint64_t index;
    std::uint64_t slot;
    std::uint64_t parent;
    std::u16string name;
  };

  void Set(std::uint64_t i, std::uint64_t slot, std::uint64_t parent, std::uint64_t nameOffset) {
    const std::uint8_t flags = columns_.flags[i];
    const std::uint32_t attributes = columns_.fields.attributes[i];
    const std::uint64_t size = columns_.fields.sizes[i];
    const std::uint64_t sizeOnDisk = columns_.fields.sizesOnDisk[i];
    const std::uint64_t time = columns_.fields.lastWriteTimes[i];
    if ((flags & kNodeDirectory) != 0) {
      nodes_.SetFolder(i, slot, parent, nameOffset, attributes, time);
      if (size != 0 || sizeOnDisk != 0) nodes_.SetFolderOwnSize(i, size, sizeOnDisk);
    } else {
      nodes_.SetFile(i, parent, nameOffset, attributes, size, time, sizeOnDisk);
      if ((flags & kNodePlaceholder) != 0) nodes_.MarkPlaceholder(i);
    }
  }

  const NodeColumns columns_;
  const std::uint64_t count_;
  core::ScanNodes& nodes_;
  std::uint64_t next_ = 0;
  std::uint64_t nextSlot_ = 0;
  std::vector<Waiting> waiting_;
};

// The names, decompressed straight into arena blocks that the result then
// adopts, a piece at a time so each node is set while its name is still in
// the cache. A name cut by a block's end moves to the start of the next.
bool ReadNames(FrameReader& frame, std::uint64_t nameBytes, core::NameArena& names,
               NodeFiller& filler) {
  constexpr std::size_t kPiece = 256 * 1024;
  std::uint64_t left = nameBytes;
  std::vector<std::uint8_t> cut;
  while (left > 0) {
    const auto capacity = static_cast<std::size_t>(
        std::min<std::uint64_t>(core::NameArena::kPositionMask, cut.size() + left));
    std::uint8_t* block = names.AddFilledBlock(capacity);
    const std::uint64_t blockOffset = names.LastBlockOffset();
    std::copy(cut.begin(), cut.end(), block);
    std::size_t filled = cut.size();
    std::size_t parsed = 0;
    while (filled < capacity) {
      const std::size_t piece = std::min(kPiece, capacity - filled);
      if (!frame.Read(block + filled, piece)) return false;
      filled += piece;
      left -= piece;
      while (parsed < filled) {
        const StoredName name = PeekName(block + parsed, block + filled);
        if (name.state == StoredName::State::Bad) return false;
        if (name.state == StoredName::State::Partial) break;
        if (!filler.Next(block + parsed, name, blockOffset + parsed)) return false;
        parsed += name.Length();
      }
    }
    cut.assign(block + parsed, block + filled);
    names.TrimLastBlock(parsed);
  }
  return cut.empty();  // else the last name runs past the names
}

// The hard-linked nodes' groups, linked in group order so each gets the
// number it had.
bool LinkGroups(const std::vector<std::uint32_t>& linkCounts, const std::uint8_t* groupColumn,
                const std::vector<std::uint32_t>& linkedNodes, core::ScanNodes& nodes) {
  const std::size_t groupCount = linkCounts.size();
  std::vector<std::uint64_t> starts(groupCount + 1, 0);
  std::vector<std::uint32_t> groups(linkedNodes.size());
  base::LeReader column(groupColumn, linkedNodes.size() * 4);
  for (std::size_t k = 0; k < linkedNodes.size(); ++k) {
    groups[k] = *column.U32(4 * k);
    if (groups[k] >= groupCount) return false;
    ++starts[groups[k] + 1];
  }
  for (std::size_t g = 0; g < groupCount; ++g) {
    if (starts[g + 1] == 0 || linkCounts[g] == 0) return false;  // a group without a name
    starts[g + 1] += starts[g];
  }
  std::vector<std::uint64_t> members(linkedNodes.size());
  std::vector<std::uint64_t> next(starts.begin(), starts.end() - 1);
  for (std::size_t k = 0; k < linkedNodes.size(); ++k) members[next[groups[k]]++] = linkedNodes[k];
  for (std::size_t g = 0; g < groupCount; ++g) {
    nodes.LinkNames(
        std::span<const std::uint64_t>(members.data() + starts[g], starts[g + 1] - starts[g]),
        linkCounts[g]);
  }
  return true;
}

// The payload, read from the frame part by part in the order it lies
// there: the fixed columns, the names (each node set as its name arrives),
// then what follows them.
std::optional<core::ScanResult> BuildResult(const Metadata& meta, FrameReader& frame,
                                            std::uint64_t rawLength) {
  const std::uint64_t count = meta.nodeCount;
  base::DefaultInitVector<std::uint8_t> flags(count);
  if (!frame.Read(flags.data(), count)) return std::nullopt;
  std::uint64_t folders = 0;
  std::vector<std::uint32_t> linkedNodes;
  if (!CheckFlags(flags.data(), count, folders, linkedNodes)) return std::nullopt;

  core::ScanResult result;
  result.nodes.AppendBlank(count, folders);
  const NodeColumns columns{flags.data(), result.nodes.FieldsOfBlank(0)};
  if (!ReadColumns(frame, columns.fields)) return std::nullopt;
  NodeFiller filler(columns, count, result.nodes);
  core::NameArena names;
  if (!ReadNames(frame, meta.nameBytes, names, filler) || !filler.AllNamed() ||
      result.nodes.AdoptNames(std::move(names)) != 0) {
    return std::nullopt;
  }
  base::DefaultInitVector<std::uint8_t> rest(rawLength - count * kFixedBytesPerNode -
                                             meta.nameBytes);
  if (!frame.Read(rest.data(), rest.size()) || !frame.Finished()) return std::nullopt;

  Cursor in(std::string_view(reinterpret_cast<const char*>(rest.data()), rest.size()));
  std::vector<std::uint32_t> linkCounts(meta.linkGroupCount);
  for (std::uint32_t& links : linkCounts) links = in.U32();
  const std::uint8_t* groupColumn = in.Bytes(linkedNodes.size() * 4);
  if (!in.ok() || !filler.FinishWaiting(in) ||
      !LinkGroups(linkCounts, groupColumn, linkedNodes, result.nodes)) {
    return std::nullopt;
  }
  for (std::uint64_t k = 0; k < meta.issueCount; ++k) {
    const std::uint32_t code = in.U32();
    std::u16string path = in.Text();
    if (!in.ok()) return std::nullopt;
    result.issues.push_back(core::ScanIssue{std::move(path), code});
  }
  if (in.Remaining() != 0) return std::nullopt;

  result.nodes.ComputeTotals();
  result.nodes.LinkChildren();
  result.status = static_cast<core::ScanStatus>(meta.status);
  result.engine = static_cast<core::ScanEngineKind>(meta.engine);
  result.rootPath = meta.rootPath;
  result.message = meta.message;
  result.rootIndex = meta.rootIndex;
  result.fileCount = meta.fileCount;
  result.folderCount = meta.folderCount;
  result.issueCount = meta.issueCount;
  result.elapsedMs = meta.elapsedMs;
  result.scanTime = meta.scanTime;
  result.space = meta.space;
  // What the file says the tree adds up to must be what it does add up to.
  const core::ScanNodes& nodes = result.nodes;
  if (nodes.FolderTotal() != meta.folderCount || count - nodes.FolderTotal() != meta.fileCount) {
    return std::nullopt;
  }
  if (count != 0 && (nodes.TotalSize(meta.rootIndex) != meta.rootSize ||
                     nodes.SizeOnDisk(meta.rootIndex) != meta.rootSizeOnDisk)) {
    return std::nullopt;
  }
  return result;
}

OpenedScan Failure(SavedScanError error) { return OpenedScan{std::nullopt, error}; }

}  // namespace

bool HasSavedScanMagic(std::string_view bytes) { return bytes.starts_with(kSavedScanMagic); }

std::optional<SavedScanSummary> ReadSavedScanSummary(std::string_view file) {
  if (!HasSavedScanMagic(file)) return std::nullopt;
  Cursor in(file);
  const Header header = ReadHeader(in);
  if (!in.ok() || header.version != kSavedScanVersion) return std::nullopt;
  const std::uint8_t* metadata = in.Bytes(header.metadataLength);
  if (!in.ok()) return std::nullopt;
  const std::optional<Metadata> meta =
      ReadMetadata({reinterpret_cast<const char*>(metadata), header.metadataLength});
  if (!meta) return std::nullopt;
  return SavedScanSummary{meta->rootPath, meta->scanTime, meta->nodeCount};
}

OpenedScan DecodeSavedScan(std::string_view file) {
  if (!HasSavedScanMagic(file)) return Failure(SavedScanError::NotAScan);
  Cursor in(file);
  const Header header = ReadHeader(in);
  if (!in.ok()) return Failure(SavedScanError::Truncated);
  if (header.version > kSavedScanVersion) return Failure(SavedScanError::NewerVersion);
  if (header.version == 0) return Failure(SavedScanError::Corrupted);
  const std::uint64_t afterHeader = in.Remaining();
  if (afterHeader < kSavedScanChecksumLength ||
      header.metadataLength > afterHeader - kSavedScanChecksumLength ||
      header.payloadLength > afterHeader - kSavedScanChecksumLength - header.metadataLength) {
    return Failure(SavedScanError::Truncated);
  }
  if (header.metadataLength + header.payloadLength + kSavedScanChecksumLength != afterHeader) {
    return Failure(SavedScanError::Corrupted);
  }
  const std::string_view body = file.substr(0, file.size() - kSavedScanChecksumLength);
  Cursor trailer(file.substr(body.size()));
  if (Checksum64(body) != trailer.U64()) return Failure(SavedScanError::Corrupted);

  const std::string_view metadataBytes = file.substr(kSavedScanHeaderLength, header.metadataLength);
  const std::optional<Metadata> meta = ReadMetadata(metadataBytes);
  if (!meta || !CountsFit(*meta, header.rawLength)) return Failure(SavedScanError::Corrupted);
  try {
    FrameReader frame(
        file.substr(kSavedScanHeaderLength + header.metadataLength, header.payloadLength),
        header.rawLength);
    if (!frame.ok()) return Failure(SavedScanError::Corrupted);
    std::optional<core::ScanResult> result = BuildResult(*meta, frame, header.rawLength);
    if (!result) return Failure(SavedScanError::Corrupted);
    return OpenedScan{std::move(result), SavedScanError::None};
  } catch (const std::bad_alloc&) {
    return Failure(SavedScanError::OutOfMemory);
  }
}

std::string_view SavedScanErrorText(SavedScanError error) {
  switch (error) {
    case SavedScanError::None:
      return "no error";
    case SavedScanError::Unreadable:
      return "the file could not be read";
    case SavedScanError::NotAScan:
      return "the file is not a saved scan (neither Ombrix's nor an ncdu export)";
    case SavedScanError::Truncated:
      return "the saved scan is incomplete: the file is shorter than it should be";
    case SavedScanError::Corrupted:
      return "the saved scan is damaged: its contents do not match its checksum or each other";
    case SavedScanError::NewerVersion:
      return "the saved scan was written by a newer version of Ombrix";
    case SavedScanError::OutOfMemory:
      return "not enough memory to open the saved scan";
  }
  return "unknown error";
}

}  // namespace ombrix::app
