// The worker pool of one directory-query scan. Created by
// NtQueryDirectoryScanEngine::Scan after the root node exists, destroyed
// when the workers have joined; items still queued after a cancellation are
// dropped with it.
//
// Workers share one FIFO queue of folders; each opens its folder, lists it
// in 64 KiB batches and adds every batch to the shared builder at once.
// Four locks, never nested: the queue lock (queue, activeWorkers, the
// condition variable), the builder lock (every builder call, once per
// batch), the progress lock (counters and current path) and the callback
// lock (one progress call at a time). A worker releases each before it
// takes the next, so the progress callback may take locks of its own.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/thread_starter.h"
#include "core/engine_progress.h"
#include "core/ntquery/directory_entries.h"
#include "core/ntquery/directory_lister.h"
#include "core/scan_model.h"
#include "core/scan_tree_builder.h"

namespace ombrix::core {

// A folder to list: its node, the path its node shows, and the path the
// lister opens (system form, see IDirectoryLister::SystemPath).
struct DirectoryWorkItem {
  std::uint64_t node = kNoNode;
  std::u16string path;
  std::u16string systemPath;
};

inline constexpr std::size_t kQueryBufferSize = 65536;

class NtQueryWalk {
 public:
  NtQueryWalk(ScanTreeBuilder& builder, const IDirectoryLister& lister,
              ScanCancellationToken& token, const ProgressCallback& progress,
              std::uint64_t workerCount, const base::ThreadStarter& startThread);
  NtQueryWalk(const NtQueryWalk&) = delete;
  NtQueryWalk& operator=(const NtQueryWalk&) = delete;

  // Appends a folder to the queue and wakes one waiting worker.
  void PushWorkItem(DirectoryWorkItem item);

  // Starts the workers and returns when all have joined: the queue drained
  // with nobody busy, or cancellation was seen. When no thread can be
  // started at all, the calling thread lists the folders itself. A worker
  // that fails (out of memory, most likely) stops the others; its exception
  // is thrown again here, on the scan thread, once every worker has joined.
  void RunWorkers();

 private:
  // Allocated once per worker and reused for every folder it lists.
  struct WorkerScratch {
    std::unique_ptr<std::uint8_t[]> queryBuffer;
    std::vector<DirectoryEntry> entries;
    std::vector<DirectoryWorkItem> subFolders;
  };

  void WorkerLoop();
  void ListUntilDone();
  void ProcessDirectory(const DirectoryWorkItem& item, WorkerScratch& scratch);
  void AddEntries(const DirectoryWorkItem& folder, WorkerScratch& scratch);
  void AddIssue(const std::u16string& path, std::uint32_t errorCode);
  void ReportEntry(const std::u16string& path, bool isFile, std::uint64_t sizeOnDisk);

  ScanTreeBuilder& builder_;
  std::mutex builderMutex_;

  const IDirectoryLister& lister_;
  ScanCancellationToken& token_;
  std::mutex progressMutex_;  // guards progress_'s counts
  EngineProgress progress_;
  std::mutex callbackMutex_;  // one callback call at a time

  const std::uint64_t workerCount_;
  const base::ThreadStarter& startThread_;

  std::mutex queueMutex_;
  std::condition_variable queueChanged_;
  std::deque<DirectoryWorkItem> queue_;
  std::uint64_t activeWorkers_ = 0;
  std::exception_ptr workerFailure_;  // the first; guarded by queueMutex_
};

}  // namespace ombrix::core
