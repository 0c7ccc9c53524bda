#include "app/saved/zstd_frame.h"

// The library is linked statically, so its advanced calls are usable: the
// decompression bound is one.
#define ZSTD_STATIC_LINKING_ONLY
#include <zstd.h>

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

std::optional<RawBytes> DecompressFrame(std::string_view frame, std::uint64_t rawLength) {
  if (ZSTD_findFrameCompressedSize(frame.data(), frame.size()) != frame.size()) {
    return std::nullopt;  // not one whole frame, or bytes after it
  }
  const unsigned long long declared = ZSTD_getFrameContentSize(frame.data(), frame.size());
  if (declared == ZSTD_CONTENTSIZE_UNKNOWN || declared == ZSTD_CONTENTSIZE_ERROR ||
      declared != rawLength) {
    return std::nullopt;
  }
  const unsigned long long bound = ZSTD_decompressBound(frame.data(), frame.size());
  if (bound == ZSTD_CONTENTSIZE_ERROR || rawLength > bound) return std::nullopt;
  RawBytes raw{std::unique_ptr<char[]>(new char[rawLength]), rawLength};
  const std::size_t produced = ZSTD_decompress(raw.data.get(), rawLength, frame.data(), frame.size());
  if (ZSTD_isError(produced) || produced != rawLength) return std::nullopt;
  return raw;
}

std::uint64_t Checksum64(std::string_view bytes) { return XXH64(bytes.data(), bytes.size(), 0); }

}  // namespace ombrix::app
