// The engine for every path the MFT engine does not take: a pool of worker
// threads listing folders with ntdll's NtQueryDirectoryFile (see
// nt_query_walk.h for the pool). Scan runs on the caller's thread, which
// only waits for the workers; the engine keeps no state between scans.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/thread_starter.h"
#include "core/ntquery/directory_lister.h"
#include "core/scan_engine.h"

namespace ombrix::core {

class NtQueryDirectoryScanEngine final : public IScanEngine {
 public:
  static constexpr std::uint64_t kDefaultWorkerCount = 8;
  static constexpr std::uint64_t kMaxWorkerCount = 64;
  // Nodes reserved up front, so the node vector rarely moves while the
  // builder lock is held.
  static constexpr std::uint64_t kDriveRootReserve = 1048576;
  static constexpr std::uint64_t kFolderReserve = 65536;

  // threadsPerDrive 0 means kDefaultWorkerCount; larger values are capped
  // at kMaxWorkerCount.
  explicit NtQueryDirectoryScanEngine(std::uint64_t threadsPerDrive);
  // For tests: a replacement (never null) for the operating system's
  // directory calls, and for thread creation.
  NtQueryDirectoryScanEngine(std::uint64_t threadsPerDrive,
                             std::shared_ptr<const IDirectoryLister> lister,
                             base::ThreadStarter startThread = base::StartStdThread);

  ScanResult Scan(const std::u16string& path, ScanCancellationToken& token,
                  const ProgressCallback& progress) override;

  static std::uint64_t WorkerCount(std::uint64_t threadsPerDrive);
  // "X:" or "X:\" (either separator).
  static bool IsDriveRoot(const std::u16string& trimmedPath);

 private:
  std::uint64_t threadsPerDrive_;
  std::shared_ptr<const IDirectoryLister> lister_;
  base::ThreadStarter startThread_;
};

}  // namespace ombrix::core
