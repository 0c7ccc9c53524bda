#include "tools/ombrix_scan/buffered_output.h"

#include <charconv>

namespace ombrix::scan_tool {

namespace {
// Beyond the chunk, room for the longest single value written before the
// chunk check (a 32,767-unit path escaped takes up to about 200 KB).
constexpr std::size_t kSlackLength = 256 * 1024;
}  // namespace

BufferedOutput::BufferedOutput(ByteSink sink, std::size_t chunkLength)
    : sink_(std::move(sink)),
      chunkLength_(chunkLength),
      capacity_(chunkLength + kSlackLength),
      data_(new char[capacity_]) {}

BufferedOutput::~BufferedOutput() { Flush(); }

void BufferedOutput::AppendNumber(std::uint64_t value) {
  char* end = Reserve(24);
  Commit(std::to_chars(end, end + 24, value).ptr);
}

void BufferedOutput::AppendSignedNumber(std::int64_t value) {
  char* end = Reserve(24);
  Commit(std::to_chars(end, end + 24, value).ptr);
}

void BufferedOutput::MakeRoom(std::size_t length) {
  Flush();
  if (length <= capacity_) return;
  capacity_ = length;
  data_.reset(new char[capacity_]);
}

void BufferedOutput::Flush() {
  if (size_ == 0) return;
  if (sink_) sink_(std::string_view(data_.get(), size_));
  size_ = 0;
}

}  // namespace ombrix::scan_tool
