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

// One frame decompressed a piece at a time, each piece straight into the
// memory that keeps it: a million-node payload is tens of megabytes, and
// never having it whole in memory saves faulting in all those fresh pages.
class FrameReader {
 public:
  // The frame must be exactly one whole frame whose content is rawLength
  // bytes. rawLength is checked against the most the frame's blocks can
  // hold, so a damaged length cannot stand for more than the file could
  // fill. ok() tells whether it was accepted.
  FrameReader(std::string_view frame, std::uint64_t rawLength);
  ~FrameReader();
  FrameReader(const FrameReader&) = delete;
  FrameReader& operator=(const FrameReader&) = delete;

  bool ok() const { return ok_; }
  // Exactly count bytes to out. False when the frame is damaged or ends
  // sooner; every later read fails too.
  bool Read(std::uint8_t* out, std::size_t count);
  // Whether every byte of the content has been read and the frame ends
  // there.
  bool Finished();

 private:
  bool Fail() { return ok_ = false; }

  struct Context;
  std::unique_ptr<Context> context_;
  bool ok_ = false;
  bool ended_ = false;  // the frame's last block and checksum are read
};

// XXH64 of the bytes, seed 0.
std::uint64_t Checksum64(std::string_view bytes);

}  // namespace ombrix::app
