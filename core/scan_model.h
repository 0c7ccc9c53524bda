// The data every scan produces and every consumer reads: the result with
// its nodes (scan_nodes.h: compact arrays linked by index, so per-path trees
// can be appended to a merged result by shifting indices, and a whole result
// moves between threads without copying), progress records and the
// cancellation flag.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/scan_nodes.h"
#include "core/volume_space.h"

namespace ombrix::core {

struct ScanIssue {
  std::u16string path;
  std::uint32_t errorCode = 0;  // Win32 error code
};

// 0 is deliberately not a member: it marks an empty result that no scan
// produced yet.
enum class ScanStatus : std::uint32_t {
  Completed = 2,
  Cancelled = 3,
  Failed = 4,
};

enum class ScanEngineKind : std::uint32_t {
  DirectoryWalk = 0,
  NtQueryDirectory = 1,
  NtfsMft = 2,
  // Not a scan of this machine: a tree read from another disk-usage tool's
  // export (ncdu's JSON, a Linux server's, say).
  NcduExport = 3,
};

struct ScanResult {
  ScanStatus status = ScanStatus{0};
  ScanEngineKind engine = ScanEngineKind{0};
  std::u16string rootPath;
  std::u16string message;
  ScanNodes nodes;
  std::uint64_t rootIndex = kNoNode;
  std::vector<ScanIssue> issues;
  std::uint64_t fileCount = 0;
  std::uint64_t folderCount = 0;  // the root included
  std::uint64_t issueCount = 0;
  std::int64_t elapsedMs = 0;
  // When the scan ended, as a FILETIME (UTC); 0 when unknown. A saved scan
  // keeps the time it was scanned, not the time it was saved or opened.
  std::uint64_t scanTime = 0;
  // Set for scans of a whole drive or image, when its space could be asked.
  std::optional<VolumeSpace> space;

  ScanResult() = default;
  ScanResult(ScanResult&&) noexcept = default;
  ScanResult& operator=(ScanResult&&) noexcept = default;
  // Results can hold millions of nodes: they are handed on, never copied.
  ScanResult(const ScanResult&) = delete;
  ScanResult& operator=(const ScanResult&) = delete;
};

struct ScanProgress {
  std::u16string currentPath;
  std::uint64_t filesScanned = 0;
  std::uint64_t foldersScanned = 0;
  // The sizes on disk of the files counted so far (a file of several names
  // once per name): set against a drive's used space while it is scanned.
  std::uint64_t bytesOnDisk = 0;
};

using ProgressCallback = std::function<void(const ScanProgress&)>;

// Set by the window thread, polled by scan threads. Nothing else is
// published through it, so relaxed ordering is enough.
struct ScanCancellationToken {
  std::atomic<bool> cancelled{false};

  bool IsCancelled() const { return cancelled.load(std::memory_order_relaxed); }
  void Cancel() { cancelled.store(true, std::memory_order_relaxed); }
};

const char* ScanStatusName(ScanStatus status);
const char* ScanEngineKindName(ScanEngineKind engine);

}  // namespace ombrix::core
