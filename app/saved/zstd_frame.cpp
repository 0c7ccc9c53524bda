#include "app/saved/zstd_frame.h"

// The library is linked statically, so its advanced calls are usable: the
// decompression bound is one.
#define ZSTD_STATIC_LINKING_ONLY
#include <new>
#include <zstd.h>
#include <zstd_errors.h>

#include "common/xxhash.h"

namespace ombrix::app {

std::optional<std::string> CompressFrame(std::string_view raw, int level) {
  // The bound is about as large as the payload, the frame a small part of
  // it: the room is left uninitialised rather than zeroed, and only the
  // frame is copied out.
  const std::size_t bound = ZSTD_compressBound(raw.size());
  const std::unique_ptr<char[]> room(new char[bound]);
  const std::size_t written = ZSTD_compress(room.get(), bound, raw.data(), raw.size(), level);
  if (ZSTD_isError(written)) return std::nullopt;
  return std::string(room.get(), written);
}

struct FrameReader::Context {
  ~Context() { ZSTD_freeDCtx(stream); }
  ZSTD_DCtx* stream = nullptr;
  ZSTD_inBuffer in{};
};

FrameReader::FrameReader(std::string_view frame, std::uint64_t rawLength)
    : context_(std::make_unique<Context>()) {
  if (ZSTD_findFrameCompressedSize(frame.data(), frame.size()) != frame.size()) {
    return;  // not one whole frame, or bytes after it
  }
  const unsigned long long declared = ZSTD_getFrameContentSize(frame.data(), frame.size());
  if (declared == ZSTD_CONTENTSIZE_UNKNOWN || declared == ZSTD_CONTENTSIZE_ERROR ||
      declared != rawLength) {
    return;
  }
  const unsigned long long bound = ZSTD_decompressBound(frame.data(), frame.size());
  if (bound == ZSTD_CONTENTSIZE_ERROR || rawLength > bound) return;
  context_->stream = ZSTD_createDCtx();
  if (context_->stream == nullptr) throw std::bad_alloc();
  context_->in = ZSTD_inBuffer{frame.data(), frame.size(), 0};
  ok_ = true;
}

FrameReader::~FrameReader() = default;

bool FrameReader::Read(std::uint8_t* out, std::size_t count) {
  if (ended_ && count > 0) return Fail();
  ZSTD_outBuffer piece{out, count, 0};
  while (ok_ && piece.pos < count) {
    const std::size_t readBefore = context_->in.pos;
    const std::size_t wroteBefore = piece.pos;
    const std::size_t left = ZSTD_decompressStream(context_->stream, &piece, &context_->in);
    if (ZSTD_isError(left)) {
      if (ZSTD_getErrorCode(left) == ZSTD_error_memory_allocation) throw std::bad_alloc();
      return Fail();
    }
    ended_ = left == 0;
    if (piece.pos == count) break;
    // The frame ended, or its bytes ran out, before count bytes came.
    if (ended_ || (context_->in.pos == readBefore && piece.pos == wroteBefore)) return Fail();
  }
  return ok_;
}

bool FrameReader::Finished() {
  // Once a frame has ended, the next call would start reading another.
  if (ended_) return ok_ && context_->in.pos == context_->in.size;
  std::uint8_t beyond = 0;
  while (ok_) {
    ZSTD_outBuffer piece{&beyond, 1, 0};
    const std::size_t readBefore = context_->in.pos;
    const std::size_t left = ZSTD_decompressStream(context_->stream, &piece, &context_->in);
    if (ZSTD_isError(left) || piece.pos != 0) return Fail();  // damaged, or more content
    if (left == 0) {
      ended_ = true;
      return context_->in.pos == context_->in.size;
    }
    if (context_->in.pos == readBefore) return Fail();  // the frame stops before its end
  }
  return false;
}

std::uint64_t Checksum64(std::string_view bytes) { return XXH64(bytes.data(), bytes.size(), 0); }

}  // namespace ombrix::app
