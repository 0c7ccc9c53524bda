// Any bytes as a saved scan. The checksum would stop nearly every mutated
// input at the door, so the first byte chooses how far in the rest goes:
//   0: the file as it is;
//   1: the file with its checksum made right, so the header, the metadata
//      and the payload's frame are read;
//   2: the pieces of a file (a little-endian u16 metadata length, the
//      metadata, the raw payload), put together here with a valid header,
//      frame and checksum, so every node check of the reader is reached.
// Whatever opens must save and open again to the same tree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/saved/saved_scan_format.h"
#include "app/saved/saved_scan_reader.h"
#include "app/saved/saved_scan_writer.h"
#include "app/saved/zstd_frame.h"

namespace {

using namespace ombrix::app;

void PutLittle(std::string& out, std::uint64_t value, int width) {
  for (int b = 0; b < width; ++b) out.push_back(static_cast<char>(value >> (8 * b)));
}

void Reseal(std::string& file) {
  if (file.size() < kSavedScanChecksumLength) return;
  file.resize(file.size() - kSavedScanChecksumLength);
  PutLittle(file, Checksum64(file), 8);
}

std::string Assemble(std::string_view pieces) {
  if (pieces.size() < 2) return {};
  const std::size_t metadataLength =
      std::min<std::size_t>(pieces.size() - 2, static_cast<std::uint8_t>(pieces[0]) |
                                                   static_cast<std::uint8_t>(pieces[1]) << 8);
  const std::string_view metadata = pieces.substr(2, metadataLength);
  const std::string_view raw = pieces.substr(2 + metadataLength);
  const std::optional<std::string> frame = CompressFrame(raw, 1);
  if (!frame) return {};
  std::string file(kSavedScanMagic);
  PutLittle(file, kSavedScanVersion, 4);
  PutLittle(file, metadata.size(), 4);
  PutLittle(file, frame->size(), 8);
  PutLittle(file, raw.size(), 8);
  file.append(metadata);
  file.append(*frame);
  PutLittle(file, Checksum64(file), 8);
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string file;
  switch (data[0] % 3) {
    case 0:
      file.assign(rest);
      break;
    case 1:
      file.assign(rest);
      Reseal(file);
      break;
    default:
      file = Assemble(rest);
      break;
  }
  OpenedScan decoded = DecodeSavedScan(file);
  if (decoded.error != SavedScanError::None || !decoded.result) {
    if (decoded.result) std::abort();  // an error must come without a tree
    return 0;
  }
  const ombrix::core::ScanResult& result = *decoded.result;
  const std::optional<std::string> again =
      EncodeSavedScan(result, result.nodes.size(), kSavedScanCompressionLevel);
  if (!again) std::abort();
  const OpenedScan reopened = DecodeSavedScan(*again);
  if (!reopened.result || reopened.result->nodes.size() != result.nodes.size() ||
      reopened.result->fileCount != result.fileCount) {
    std::abort();
  }
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (reopened.result->nodes.TotalSize(i) != result.nodes.TotalSize(i) ||
        reopened.result->nodes.SizeOnDisk(i) != result.nodes.SizeOnDisk(i) ||
        reopened.result->nodes.Name(i) != result.nodes.Name(i)) {
      std::abort();
    }
  }
  return 0;
}
