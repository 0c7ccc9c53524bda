// The data every scan produces and every consumer reads: one flat vector of
// nodes linked by 64-bit indices (so per-path trees can be appended to a
// merged result by shifting indices, and a whole result moves between
// threads without copying), the result that carries it, progress records
// and the cancellation flag.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ombrix::core {

inline constexpr std::uint64_t kNoNode = ~std::uint64_t{0};

inline constexpr std::uint32_t kAttributeSystem = 0x4;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;

// The small fields share one word: a million-node scan keeps a million of
// these, and padding around them cost 16 bytes a node.
struct ScanNode {
  std::uint64_t id = kNoNode;
  std::uint64_t parent = kNoNode;
  std::u16string name;
  std::u16string path;
  std::uint64_t ownSize = 0;
  std::uint64_t lastWriteTime = 0;  // FILETIME: 100 ns units since 1601
  std::uint64_t totalSize = 0;
  std::uint64_t directFilesSize = 0;
  std::uint64_t fileCount = 0;
  std::uint64_t folderCount = 0;  // the folder itself not counted
  std::vector<std::uint64_t> children;
  std::uint32_t attributes = 0;
  std::uint8_t isDirectory = 0;
  std::uint8_t isReparsePoint = 0;
};

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
};

struct ScanResult {
  ScanStatus status = ScanStatus{0};
  ScanEngineKind engine = ScanEngineKind{0};
  std::u16string rootPath;
  std::u16string message;
  std::vector<ScanNode> nodes;
  std::uint64_t rootIndex = kNoNode;
  std::vector<ScanIssue> issues;
  std::uint64_t fileCount = 0;
  std::uint64_t folderCount = 0;  // the root included
  std::uint64_t issueCount = 0;
  std::int64_t elapsedMs = 0;

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
