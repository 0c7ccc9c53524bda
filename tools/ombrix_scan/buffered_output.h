// A byte buffer in front of an output stream. Reports for millions of nodes
// are written through it in large chunks instead of one write per value,
// and writers encode straight into it (Reserve/Commit) without temporary
// strings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
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
    char* end = Reserve(text.size());
    if (!text.empty()) std::memcpy(end, text.data(), text.size());
    Commit(end + text.size());
  }
  void Append(char c) {
    char* end = Reserve(1);
    *end = c;
    Commit(end + 1);
  }
  void AppendNumber(std::uint64_t value);
  void AppendSignedNumber(std::int64_t value);

  // Room for at least `length` more bytes; returns where they go. The
  // writer then calls Commit with the end of what it wrote.
  char* Reserve(std::size_t length) {
    if (length > capacity_ - size_) MakeRoom(length);
    return data_.get() + size_;
  }
  void Commit(char* end) {
    size_ = static_cast<std::size_t>(end - data_.get());
    if (size_ >= chunkLength_) Flush();
  }
  void Flush();

 private:
  void MakeRoom(std::size_t length);

  ByteSink sink_;
  std::size_t chunkLength_;
  std::size_t capacity_;
  std::size_t size_ = 0;
  std::unique_ptr<char[]> data_;
};

}  // namespace ombrix::scan_tool
