// The progress every engine reports while it scans: a running count of
// files and folders, handed to the caller's callback after every folder
// and after every 128th file. A report per file would cost more than the
// scan itself on folders of small files; a report per folder keeps the
// current path moving on trees of few files.
//
// Not thread-safe: an engine with several workers counts under its own
// lock and calls Report outside it (see nt_query_walk.h).
#pragma once

#include <cstdint>
#include <string>

#include "core/scan_model.h"

namespace ombrix::core {

inline constexpr std::uint64_t kProgressFileInterval = 128;

class EngineProgress {
 public:
  explicit EngineProgress(const ProgressCallback& callback) : callback_(callback) {}

  // Counts one entry. True when it is a report point; Current() then names
  // path as the current path.
  bool CountFile(const std::u16string& path, std::uint64_t sizeOnDisk) {
    ++progress_.filesScanned;
    progress_.bytesOnDisk += sizeOnDisk;
    if (progress_.filesScanned % kProgressFileInterval != 0) return false;
    progress_.currentPath = path;
    return true;
  }
  // The same, for an engine that makes a file's path only when it is
  // reported: makePath() is called at report points alone.
  template <typename PathMaker>
  bool CountFileWithPath(PathMaker&& makePath, std::uint64_t sizeOnDisk) {
    ++progress_.filesScanned;
    progress_.bytesOnDisk += sizeOnDisk;
    if (progress_.filesScanned % kProgressFileInterval != 0) return false;
    progress_.currentPath = makePath();
    return true;
  }
  bool CountFolder(const std::u16string& path) {
    ++progress_.foldersScanned;
    progress_.currentPath = path;
    return true;
  }

  const ScanProgress& Current() const { return progress_; }

  // Hands a report to the callback; an empty callback is never called.
  void Report(const ScanProgress& report) const {
    if (callback_) callback_(report);
  }
  void ReportCurrent() const { Report(progress_); }

 private:
  const ProgressCallback& callback_;
  ScanProgress progress_;
};

}  // namespace ombrix::core
