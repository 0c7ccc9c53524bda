// Collects readable mismatch lines for a test to print, capped so that one
// wrong total in a 100,000-node tree does not flood the log.
#pragma once

#include <string>
#include <vector>

namespace ombrix::test {

class FindingList {
 public:
  void Add(std::string line) {
    ++count_;
    if (lines_.size() < kMaxLines) {
      lines_.push_back(std::move(line));
    }
  }

  std::vector<std::string> Take() {
    if (count_ > lines_.size()) {
      lines_.push_back("... and " + std::to_string(count_ - kMaxLines) + " more");
    }
    return std::move(lines_);
  }

 private:
  static constexpr std::size_t kMaxLines = 25;
  std::vector<std::string> lines_;
  std::size_t count_ = 0;
};

}  // namespace ombrix::test
