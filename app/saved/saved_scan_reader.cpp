#include "app/saved/saved_scan_reader.h"

#include <bit>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "app/saved/byte_planes.h"
#include "app/saved/zstd_frame.h"
#include "base/le_reader.h"
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
    for (std::uint64_t* field : {&space.volumeSize, &space.usedSpace, &space.freeSpace,
                                 &space.filesOnDisk, &space.metadata, &space.unreadable,
                                 &space.unexplained}) {
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
  if (!KnownStatus(meta.status) || meta.engine > static_cast<std::uint32_t>(core::ScanEngineKind::NcduExport)) {
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
         (meta.nodeCount == 0 ? meta.rootIndex == core::kNoNode
                              : meta.rootIndex < meta.nodeCount);
}

// One stored name, its header checked against the bytes left.
bool ReadName(const std::uint8_t*& at, const std::uint8_t* end, std::u16string& name) {
  std::uint64_t header = 0;
  unsigned shift = 0;
  while (true) {
    if (at == end || shift > 28) return false;
    const std::uint8_t byte = *at++;
    header |= std::uint64_t{byte & 0x7Fu} << shift;
    shift += 7;
    if ((byte & 0x80) == 0) break;
  }
  const std::uint64_t length = header >> 1;
  const bool wide = (header & 1) != 0;
  if (length > core::kMaxNameLength) return false;
  const std::uint64_t bytes = length * (wide ? 2 : 1);
  if (bytes > static_cast<std::uint64_t>(end - at)) return false;
  name.resize(length);
  for (std::uint64_t i = 0; i < length; ++i) {
    name[i] = wide ? static_cast<char16_t>(at[2 * i] | (at[2 * i + 1] << 8)) : at[i];
  }
  at += bytes;
  return true;
}

// Whether a stored name is in the form the result's arena keeps it: a
// one-byte header, two bytes a unit only when a unit needs them, and the
// units little-endian as this machine keeps them. Nearly every name is;
// those are copied as they are instead of decoded and encoded again.
bool IsArenaForm(const std::uint8_t* at, const std::uint8_t* end) {
  if constexpr (std::endian::native != std::endian::little) return false;
  if (at == end || at[0] >= 0x80) return false;
  const std::size_t length = at[0] >> 1;
  const bool wide = (at[0] & 1) != 0;
  if (length * (wide ? 2 : 1) > static_cast<std::size_t>(end - at - 1)) return false;
  if (!wide) return true;
  for (std::size_t i = 0; i < length; ++i) {
    if (at[2 + 2 * i] != 0) return true;
  }
  return false;
}

struct NodeColumns {
  const std::uint8_t* flags;
  const std::uint8_t* parents;
  const std::uint8_t* attributes;
  const std::uint8_t* sizes;
  const std::uint8_t* sizesOnDisk;
  const std::uint8_t* times;
  const std::uint8_t* names;
};

// The nodes, each checked against the ones before it; false at the first
// that does not fit.
bool BuildNodes(const Metadata& meta, const NodeColumns& columns, Cursor& rest,
                core::ScanNodes& nodes, std::vector<std::uint32_t>& linkedNodes) {
  const std::uint64_t count = meta.nodeCount;
  nodes.Reserve(count);
  const std::uint8_t* name = columns.names;
  const std::uint8_t* namesEnd = columns.names + meta.nameBytes;
  std::u16string nameText;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint8_t flags = columns.flags[i];
    const auto distance = GetPlanes<std::uint32_t>(columns.parents, count, i);
    const auto attributes = GetPlanes<std::uint32_t>(columns.attributes, count, i);
    const auto size = GetPlanes<std::uint64_t>(columns.sizes, count, i);
    const auto sizeOnDisk = GetPlanes<std::uint64_t>(columns.sizesOnDisk, count, i);
    const auto time = GetPlanes<std::uint64_t>(columns.times, count, i);
    if ((flags & ~kKnownNodeFlags) != 0) return false;
    std::optional<core::NodeName> storedName;
    if (IsArenaForm(name, namesEnd)) {
      storedName = core::NodeName::Decode(name);
      name += storedName->EncodedLength();
    } else if (!ReadName(name, namesEnd, nameText)) {
      return false;
    }
    const bool folder = (flags & kNodeDirectory) != 0;
    const bool ownPath = (flags & kNodeOwnPath) != 0;
    if (folder && (flags & (kNodeHardLinked | kNodePlaceholder)) != 0) return false;
    if (distance > i || (distance == 0 && !ownPath)) return false;
    const std::uint64_t parent = distance == 0 ? core::kNoNode : i - distance;
    if (parent != core::kNoNode && !nodes.IsDirectory(parent)) return false;
    if (ownPath && !folder) return false;
    if (ownPath) {
      const std::u16string path = rest.Text();
      if (!rest.ok()) return false;
      if (storedName) nameText = storedName->ToString();
      parent == core::kNoNode ? nodes.AddRoot(nameText, path, attributes, time)
                              : nodes.AddFolderWithPath(parent, nameText, path, attributes, time);
    } else if (folder) {
      storedName ? nodes.AddFolder(parent, *storedName, attributes, time)
                 : nodes.AddFolder(parent, nameText, attributes, time);
    } else {
      storedName ? nodes.AddFile(parent, *storedName, attributes, size, time, sizeOnDisk)
                 : nodes.AddFile(parent, nameText, attributes, size, time, sizeOnDisk);
    }
    if (folder && (size != 0 || sizeOnDisk != 0)) nodes.SetFolderOwnSize(i, size, sizeOnDisk);
    if ((flags & kNodePlaceholder) != 0) nodes.MarkPlaceholder(i);
    if ((flags & kNodeHardLinked) != 0) linkedNodes.push_back(static_cast<std::uint32_t>(i));
  }
  return name == namesEnd;
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
    nodes.LinkNames(std::span<const std::uint64_t>(members.data() + starts[g],
                                                   starts[g + 1] - starts[g]),
                    linkCounts[g]);
  }
  return true;
}

std::optional<core::ScanResult> BuildResult(const Metadata& meta, std::string_view raw) {
  Cursor in(raw);
  const std::uint64_t count = meta.nodeCount;
  NodeColumns columns{};
  columns.flags = in.Bytes(count);
  columns.parents = in.Bytes(count * 4);
  columns.attributes = in.Bytes(count * 4);
  columns.sizes = in.Bytes(count * 8);
  columns.sizesOnDisk = in.Bytes(count * 8);
  columns.times = in.Bytes(count * 8);
  columns.names = in.Bytes(meta.nameBytes);
  std::vector<std::uint32_t> linkCounts(meta.linkGroupCount);
  for (std::uint32_t& links : linkCounts) links = in.U32();
  if (!in.ok()) return std::nullopt;

  std::uint64_t linkedCount = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    if ((columns.flags[i] & kNodeHardLinked) != 0) ++linkedCount;
  }
  const std::uint8_t* groupColumn = in.Bytes(linkedCount * 4);
  if (!in.ok()) return std::nullopt;

  core::ScanResult result;
  std::vector<std::uint32_t> linkedNodes;
  linkedNodes.reserve(linkedCount);
  if (!BuildNodes(meta, columns, in, result.nodes, linkedNodes) ||
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
    const std::optional<RawBytes> raw = DecompressFrame(
        file.substr(kSavedScanHeaderLength + header.metadataLength, header.payloadLength),
        header.rawLength);
    if (!raw) return Failure(SavedScanError::Corrupted);
    std::optional<core::ScanResult> result = BuildResult(*meta, raw->View());
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
