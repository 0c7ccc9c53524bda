#include "core/ntquery/nt_query_walk.h"

#include <thread>
#include <utility>

#include "base/system_error_codes.h"
#include "base/thread_starter.h"
#include "core/placeholders.h"
#include "core/scan_paths.h"

namespace ombrix::core {
namespace {

std::u16string EntryPrefix(const std::u16string& folderPath) {
  std::u16string prefix = folderPath;
  if (prefix.empty() || !IsPathSeparator(prefix.back())) prefix.push_back(u'\\');
  return prefix;
}

}  // namespace

NtQueryWalk::NtQueryWalk(ScanTreeBuilder& builder, const IDirectoryLister& lister,
                         ScanCancellationToken& token, const ProgressCallback& progress,
                         std::uint64_t workerCount, const base::ThreadStarter& startThread)
    : builder_(builder),
      lister_(lister),
      token_(token),
      progress_(progress),
      workerCount_(workerCount),
      startThread_(startThread) {}

void NtQueryWalk::PushWorkItem(DirectoryWorkItem item) {
  {
    std::lock_guard lock(queueMutex_);
    queue_.push_back(std::move(item));
  }
  queueChanged_.notify_one();
}

void NtQueryWalk::RunWorkers() {
  std::vector<std::thread> workers;
  workers.reserve(workerCount_);
  for (std::uint64_t i = 0; i < workerCount_; ++i) {
    std::thread worker;
    // A thread that cannot be started now will not start a moment later
    // either: go on with the ones already running.
    if (!startThread_([this] { WorkerLoop(); }, worker)) break;
    workers.push_back(std::move(worker));
  }
  if (workers.empty()) {
    WorkerLoop();
  }
  for (std::thread& worker : workers) {
    worker.join();
  }
  if (workerFailure_) {
    std::rethrow_exception(workerFailure_);
  }
}

void NtQueryWalk::WorkerLoop() {
  try {
    ListUntilDone();
  } catch (...) {
    // An exception leaving a thread's function ends the process; here it
    // ends the walk instead, and the scan thread sees it after the join.
    std::lock_guard lock(queueMutex_);
    if (!workerFailure_) workerFailure_ = std::current_exception();
    queueChanged_.notify_all();
  }
}

void NtQueryWalk::ListUntilDone() {
  WorkerScratch scratch;
  scratch.queryBuffer = std::make_unique<std::uint8_t[]>(kQueryBufferSize);  // zero-filled

  std::unique_lock lock(queueMutex_);
  for (;;) {
    queueChanged_.wait(lock, [this] {
      return token_.IsCancelled() || workerFailure_ || !queue_.empty() || activeWorkers_ == 0;
    });
    if (token_.IsCancelled() || workerFailure_) {
      queueChanged_.notify_all();
      return;
    }
    if (queue_.empty()) {
      // Nothing queued and nobody listing: the walk is complete.
      queueChanged_.notify_all();
      return;
    }
    DirectoryWorkItem item = std::move(queue_.front());
    queue_.pop_front();
    ++activeWorkers_;
    lock.unlock();

    ProcessDirectory(item, scratch);

    lock.lock();
    --activeWorkers_;
    if (activeWorkers_ == 0 && queue_.empty()) {
      queueChanged_.notify_all();
    }
  }
}

void NtQueryWalk::ProcessDirectory(const DirectoryWorkItem& item, WorkerScratch& scratch) {
  DirectoryOpenResult opened = lister_.OpenDirectory(item.systemPath);
  if (opened.handle == nullptr) {
    AddIssue(item.path, opened.errorCode);
    return;
  }
  const std::u16string prefix = EntryPrefix(item.path);
  bool firstQuery = true;
  while (!token_.IsCancelled()) {
    const DirectoryBatch batch =
        opened.handle->QueryNext(scratch.queryBuffer.get(), kQueryBufferSize, firstQuery);
    firstQuery = false;
    if (batch.status == kStatusNoMoreFiles || batch.status == kStatusNoSuchFile) break;
    if (IsFailingStatus(batch.status)) {
      AddIssue(item.path, lister_.MapStatus(batch.status).value_or(base::kErrorAccessDenied));
      break;
    }
    const BatchEnd end = ParseEntries(scratch.queryBuffer.get(), kQueryBufferSize,
                                      batch.bytesReturned, prefix, scratch.entries);
    AddEntries(item, scratch);
    for (const DirectoryEntry& entry : scratch.entries) {
      ReportEntry(entry.path, entry.isDirectory == 0, entry.isDirectory == 0 ? entry.allocationSize : 0);
    }
    for (DirectoryWorkItem& subFolder : scratch.subFolders) {
      PushWorkItem(std::move(subFolder));
    }
    if (end == BatchEnd::Truncated) {
      // Asking again could return the same malformed bytes forever; what
      // was decoded stays, like any listing that fails part-way.
      AddIssue(item.path, base::kErrorInvalidData);
      break;
    }
  }
}

void NtQueryWalk::AddEntries(const DirectoryWorkItem& folder, WorkerScratch& scratch) {
  const std::uint64_t node = folder.node;
  scratch.subFolders.clear();
  std::lock_guard lock(builderMutex_);
  for (const DirectoryEntry& entry : scratch.entries) {
    if (entry.isDirectory != 0) {
      const std::uint64_t id =
          builder_.AddDirectory(node, entry.name, entry.attributes, entry.lastWriteTime);
      // Junctions, directory links and mount points stay leaves: following
      // them would count their targets twice or loop.
      if (entry.isReparsePoint == 0) {
        scratch.subFolders.push_back(
            DirectoryWorkItem{id, entry.path, JoinPath(folder.systemPath, entry.name)});
      }
    } else {
      const std::uint64_t file = builder_.AddFile(node, entry.name, entry.attributes, entry.size,
                                                  entry.lastWriteTime, entry.allocationSize);
      // Every name of a hard-linked file carries the file's id; the entry
      // does not say how many names there are, so the names found count.
      if (entry.fileId != 0) builder_.SetFileIdentity(file, entry.fileId, 0);
      if (IsPlaceholder(entry.attributes, entry.reparseTag)) builder_.nodes.MarkPlaceholder(file);
    }
  }
}

void NtQueryWalk::AddIssue(const std::u16string& path, std::uint32_t errorCode) {
  std::lock_guard lock(builderMutex_);
  builder_.AddIssue(path, errorCode);
}

void NtQueryWalk::ReportEntry(const std::u16string& path, bool isFile, std::uint64_t sizeOnDisk) {
  ScanProgress snapshot;
  {
    std::lock_guard lock(progressMutex_);
    const bool reportPoint = isFile ? progress_.CountFile(path, sizeOnDisk) : progress_.CountFolder(path);
    if (!reportPoint) return;
    snapshot = progress_.Current();
  }
  std::lock_guard lock(callbackMutex_);
  progress_.Report(snapshot);
}

}  // namespace ombrix::core
