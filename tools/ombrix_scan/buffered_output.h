// A byte buffer in front of an output stream. Reports for millions of nodes
// are written through it in large chunks instead of one write per value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ombrix::scan_tool {

// Receives each full chunk, and the rest on Flush.
using ByteSink = std::function<void(std::string_view bytes)>;

class BufferedOutput {
 public:
  explicit BufferedOutput(ByteSink sink, std::size_t chunkLength = 256 * 1024);
  ~BufferedOutput();  // flushes
  BufferedOutput(const BufferedOutput&) = delete;
  BufferedOutput& operator=(const BufferedOutput&) = delete;

  void Append(std::string_view text) {
    buffer_.append(text);
    FlushIfFull();
  }
  void Append(char c) {
    buffer_.push_back(c);
    FlushIfFull();
  }
  void AppendNumber(std::uint64_t value);
  void AppendSignedNumber(std::int64_t value);
  // Direct access for writers that encode in place; they call FlushIfFull.
  std::string& Buffer() { return buffer_; }
  void FlushIfFull() {
    if (buffer_.size() >= chunkLength_) Flush();
  }
  void Flush();

 private:
  ByteSink sink_;
  std::size_t chunkLength_;
  std::string buffer_;
};

}  // namespace ombrix::scan_tool
