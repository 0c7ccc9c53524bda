// One zstd frame around a block of bytes, and the checksum saved scans
// carry, both from the zstd library built with the program
// (cmake/zstd.cmake). Neutral; any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ombrix::app {

// The level saved scans are written at: measured on a million-node volume
// (bench/bench_saved_scans.sh), level 1 compresses the payload at about
// three times the speed of level 3 to nearly the same size, and a save
// must stay under half a second.
inline constexpr int kSavedScanCompressionLevel = 1;

// Empty optional when zstd fails (out of memory).
std::optional<std::string> CompressFrame(std::string_view raw, int level);

// Bytes not zeroed before they are written: a million-node payload is tens
// of megabytes, and filling it twice shows in the time an open takes.
struct RawBytes {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;
  std::string_view View() const { return {data.get(), size}; }
};

// The frame's bytes, decompressed, when they hold exactly one frame whose
// content is rawLength bytes. rawLength is checked against the most the
// frame's blocks can hold before anything of that size is allocated, so a
// damaged length cannot ask for more memory than the file could fill.
std::optional<RawBytes> DecompressFrame(std::string_view frame, std::uint64_t rawLength);

// XXH64 of the bytes, seed 0.
std::uint64_t Checksum64(std::string_view bytes);

}  // namespace ombrix::app
