#include "tools/ombrix_scan/buffered_output.h"

#include <charconv>

namespace ombrix::scan_tool {

BufferedOutput::BufferedOutput(ByteSink sink, std::size_t chunkLength)
    : sink_(std::move(sink)), chunkLength_(chunkLength) {
  // Room for one whole chunk plus the longest single value appended after
  // the threshold check, so the buffer rarely reallocates.
  buffer_.reserve(chunkLength_ + 4096);
}

BufferedOutput::~BufferedOutput() { Flush(); }

void BufferedOutput::AppendNumber(std::uint64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  Append(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void BufferedOutput::AppendSignedNumber(std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  Append(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void BufferedOutput::Flush() {
  if (buffer_.empty()) return;
  if (sink_) sink_(buffer_);
  buffer_.clear();
}

}  // namespace ombrix::scan_tool
