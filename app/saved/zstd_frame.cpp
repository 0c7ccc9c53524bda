#include "app/saved/zstd_frame.h"

// The library is linked statically, so its advanced calls are usable: the
// decompression bound is one.
#define ZSTD_STATIC_LINKING_ONLY
#include <zstd.h>

#include "common/xxhash.h"

namespace ombrix::app {

std::optional<std::string> CompressFrame(std::string_view raw, int level) {
  std::string frame(ZSTD_compressBound(raw.size()), '\0');
  const std::size_t written =
      ZSTD_compress(frame.data(), frame.size(), raw.data(), raw.size(), level);
  if (ZSTD_isError(written)) return std::nullopt;
  frame.resize(written);
  return frame;
}

std::optional<std::string> DecompressFrame(std::string_view frame, std::uint64_t rawLength) {
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
  std::string raw(rawLength, '\0');
  const std::size_t produced = ZSTD_decompress(raw.data(), raw.size(), frame.data(), frame.size());
  if (ZSTD_isError(produced) || produced != rawLength) return std::nullopt;
  return raw;
}

std::uint64_t Checksum64(std::string_view bytes) { return XXH64(bytes.data(), bytes.size(), 0); }

}  // namespace ombrix::app
