#include "app/saved/saved_scan_writer.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "app/saved/byte_planes.h"
#include "app/saved/saved_scan_format.h"
#include "app/saved/zstd_frame.h"
#include "base/default_init_vector.h"

namespace ombrix::app {
namespace {

// Appends little-endian values to a byte container: the file itself, or
// the payload, whose columns are filled in place and so are made without
// being zeroed first.
template <typename Bytes>
class ByteWriter {
 public:
  explicit ByteWriter(Bytes& out) : out_(out) {}

  void U8(std::uint8_t value) { out_.push_back(static_cast<typename Bytes::value_type>(value)); }
  void U32(std::uint32_t value) { Little(value, 4); }
  void U64(std::uint64_t value) { Little(value, 8); }
  void Text(std::u16string_view text) {
    U32(static_cast<std::uint32_t>(text.size()));
    for (const char16_t unit : text) Little(unit, 2);
  }
  // count bytes to be filled by the caller.
  std::uint8_t* Room(std::size_t count) {
    const std::size_t start = out_.size();
    out_.resize(start + count);
    return reinterpret_cast<std::uint8_t*>(out_.data() + start);
  }

 private:
  void Little(std::uint64_t value, unsigned width) {
    for (unsigned b = 0; b < width; ++b) {
      out_.push_back(static_cast<typename Bytes::value_type>(value >> (8 * b)));
    }
  }
  Bytes& out_;
};

std::uint8_t NodeFlags(const core::ScanNodes& nodes, std::uint64_t i) {
  std::uint8_t flags = 0;
  if (nodes.IsDirectory(i)) flags |= kNodeDirectory;
  if (nodes.RootPath(i) != nullptr) flags |= kNodeOwnPath;
  if (nodes.IsHardLinked(i)) flags |= kNodeHardLinked;
  if (nodes.IsPlaceholder(i)) flags |= kNodePlaceholder;
  return flags;
}

struct PayloadCounts {
  std::uint64_t nameBytes = 0;
  std::uint64_t linkGroups = 0;
};

// What follows the columns and names: the link groups, the roots' own
// paths and the issues. Made first, so the payload is reserved whole once
// and never grows by copying.
std::string PayloadTail(const core::ScanResult& result, std::uint64_t count,
                        PayloadCounts& counts) {
  const core::ScanNodes& nodes = result.nodes;
  std::vector<std::uint32_t> linkGroups;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (nodes.IsHardLinked(i)) linkGroups.push_back(nodes.LinkGroup(i));
  }
  // The groups the written nodes use, numbered densely in their order, so
  // the reader links the same names together in the same order.
  std::vector<std::uint32_t> renumbered;
  for (const std::uint32_t group : linkGroups) {
    if (group >= renumbered.size()) renumbered.resize(std::uint64_t{group} + 1, 0);
    renumbered[group] = 1;
  }
  std::uint32_t next = 0;
  for (std::uint32_t& used : renumbered) used = used != 0 ? next++ : core::kNoLinkGroup;
  counts.linkGroups = next;
  std::vector<std::uint32_t> linkCounts(counts.linkGroups, 0);
  for (std::uint64_t i = 0; i < count; ++i) {
    if (nodes.IsHardLinked(i)) linkCounts[renumbered[nodes.LinkGroup(i)]] = nodes.LinkCount(i);
  }
  for (std::uint32_t& group : linkGroups) group = renumbered[group];
  std::string tail;
  ByteWriter<std::string> out(tail);
  for (const std::uint32_t links : linkCounts) out.U32(links);
  for (const std::uint32_t group : linkGroups) out.U32(group);
  for (std::uint64_t i = 0; i < count; ++i) {
    if (const std::u16string* path = nodes.RootPath(i)) out.Text(*path);
  }
  for (const core::ScanIssue& issue : result.issues) {
    out.U32(issue.errorCode);
    out.Text(issue.path);
  }
  return tail;
}

using Payload = base::DefaultInitVector<char>;

Payload RawPayload(const core::ScanResult& result, std::uint64_t count, PayloadCounts& counts) {
  const core::ScanNodes& nodes = result.nodes;
  for (std::uint64_t i = 0; i < count; ++i) counts.nameBytes += nodes.Name(i).EncodedLength();
  const std::string tail = PayloadTail(result, count, counts);
  Payload raw;
  raw.reserve(count * kFixedBytesPerNode + counts.nameBytes + tail.size());
  ByteWriter<Payload> out(raw);
  std::uint8_t* flags = out.Room(count);
  std::uint8_t* parents = out.Room(count * 4);
  std::uint8_t* attributes = out.Room(count * 4);
  std::uint8_t* sizes = out.Room(count * 8);
  std::uint8_t* sizesOnDisk = out.Room(count * 8);
  std::uint8_t* times = out.Room(count * 8);
  for (std::uint64_t i = 0; i < count; ++i) {
    flags[i] = NodeFlags(nodes, i);
    const std::uint64_t parent = nodes.Parent(i);
    PutPlanes<std::uint32_t>(parents, count, i,
                             static_cast<std::uint32_t>(parent == core::kNoNode ? 0 : i - parent));
    PutPlanes<std::uint32_t>(attributes, count, i, nodes.Attributes(i));
    const bool folder = nodes.IsDirectory(i);
    PutPlanes<std::uint64_t>(sizes, count, i, nodes.OwnSize(i));
    PutPlanes<std::uint64_t>(sizesOnDisk, count, i,
                             folder ? nodes.FolderOwnSizeOnDisk(i) : nodes.SizeOnDisk(i));
    PutPlanes<std::uint64_t>(times, count, i, nodes.LastWriteTime(i));
  }
  std::uint8_t* names = out.Room(counts.nameBytes);
  for (std::uint64_t i = 0; i < count; ++i) {
    const core::NodeName name = nodes.Name(i);
    std::memcpy(names, name.EncodedStart(), name.EncodedLength());
    names += name.EncodedLength();
  }
  raw.insert(raw.end(), tail.begin(), tail.end());
  return raw;
}

}  // namespace

std::optional<std::string> EncodeSavedScan(const core::ScanResult& result, std::uint64_t nodeCount,
                                           int compressionLevel) {
  const core::ScanNodes& nodes = result.nodes;
  if (nodeCount > nodes.size()) nodeCount = nodes.size();
  PayloadCounts counts;
  const Payload raw = RawPayload(result, nodeCount, counts);
  std::optional<std::string> frame =
      CompressFrame(std::string_view(raw.data(), raw.size()), compressionLevel);
  if (!frame) return std::nullopt;

  const bool hasRoot = result.rootIndex < nodeCount;
  std::string metadata;
  ByteWriter<std::string> meta(metadata);
  meta.U32(static_cast<std::uint32_t>(result.status));
  meta.U32(static_cast<std::uint32_t>(result.engine));
  meta.U64(result.scanTime);
  meta.U64(static_cast<std::uint64_t>(result.elapsedMs));
  meta.U64(result.fileCount);
  meta.U64(result.folderCount);
  meta.U64(result.issues.size());
  meta.U64(nodeCount);
  meta.U64(hasRoot ? result.rootIndex : core::kNoNode);
  meta.U64(hasRoot ? nodes.TotalSize(result.rootIndex) : 0);
  meta.U64(hasRoot ? nodes.SizeOnDisk(result.rootIndex) : 0);
  meta.U64(counts.nameBytes);
  meta.U64(counts.linkGroups);
  meta.U8(result.space ? 1 : 0);
  if (result.space) {
    const core::VolumeSpace& space = *result.space;
    for (const std::uint64_t value :
         {space.volumeSize, space.usedSpace, space.freeSpace, space.filesOnDisk, space.metadata,
          space.unreadable, space.unexplained}) {
      meta.U64(value);
    }
  }
  meta.Text(result.rootPath);
  meta.Text(result.message);

  std::string file;
  file.reserve(kSavedScanHeaderLength + metadata.size() + frame->size() +
               kSavedScanChecksumLength);
  file.append(kSavedScanMagic);
  ByteWriter<std::string> header(file);
  header.U32(kSavedScanVersion);
  header.U32(static_cast<std::uint32_t>(metadata.size()));
  header.U64(frame->size());
  header.U64(raw.size());
  file.append(metadata);
  file.append(*frame);
  header.U64(Checksum64(file));
  return file;
}

}  // namespace ombrix::app
