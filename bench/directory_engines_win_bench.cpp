// Scans one folder with each directory engine configuration in turn, in one
// process, and prints one line per scan:
//   <engine> <workers> <files> <folders> <elapsedMs> <status>
// Driven by bench/bench_directory_engines.sh under Wine. The first scan
// only warms the caches and is not printed. A last one-worker scan times
// the system calls through the lister seam and prints where the time goes:
//   breakdown <elapsedMs> <openMs> <queryMs> <closeMs> <opens> <queries>
//   directory_engines_win_bench.exe PATH [WORKERS...] [--runs N]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "core/ntquery/nt_query_engine.h"
#include "core/scan_engine.h"
#include "core/walk/directory_finder_win.h"
#include "core/walk/directory_walk_scan_engine.h"

namespace {

using namespace ombrix::core;
namespace base = ombrix::base;

using Clock = std::chrono::steady_clock;

std::uint64_t NanosecondsSince(Clock::time_point start) {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count());
}

// Times every open and query of the system lister it wraps.
class TimingLister final : public IDirectoryLister {
 public:
  std::shared_ptr<const IDirectoryLister> inner = MakeSystemDirectoryLister();
  mutable std::atomic<std::uint64_t> openNs{0}, queryNs{0}, closeNs{0}, opens{0}, queries{0};

  bool HasQueryCall() const override { return inner->HasQueryCall(); }
  std::optional<PathAttributes> ReadAttributes(const std::u16string& path) const override {
    return inner->ReadAttributes(path);
  }
  std::optional<std::uint32_t> MapStatus(NtStatus status) const override {
    return inner->MapStatus(status);
  }
  DirectoryOpenResult OpenDirectory(const std::u16string& path) const override {
    const Clock::time_point start = Clock::now();
    DirectoryOpenResult opened = inner->OpenDirectory(path);
    openNs += NanosecondsSince(start);
    ++opens;
    if (opened.handle) {
      opened.handle = std::make_unique<TimedHandle>(std::move(opened.handle), *this);
    }
    return opened;
  }

 private:
  class TimedHandle final : public IDirectoryHandle {
   public:
    TimedHandle(std::unique_ptr<IDirectoryHandle> inner, const TimingLister& owner)
        : inner_(std::move(inner)), owner_(owner) {}
    ~TimedHandle() override {
      const Clock::time_point start = Clock::now();
      inner_.reset();
      owner_.closeNs += NanosecondsSince(start);
    }
    DirectoryBatch QueryNext(std::uint8_t* buffer, std::size_t length, bool restart) override {
      const Clock::time_point start = Clock::now();
      const DirectoryBatch batch = inner_->QueryNext(buffer, length, restart);
      owner_.queryNs += NanosecondsSince(start);
      ++owner_.queries;
      return batch;
    }

   private:
    std::unique_ptr<IDirectoryHandle> inner_;
    const TimingLister& owner_;
  };
};

void RunOnce(IScanEngine& engine, const std::u16string& path, const char* name,
             std::uint64_t workers, bool print) {
  ScanCancellationToken token;
  const ScanResult result = engine.Scan(path, token, {});
  if (print) {
    std::printf("%s %llu %llu %llu %lld %s\n", name, static_cast<unsigned long long>(workers),
                static_cast<unsigned long long>(result.fileCount),
                static_cast<unsigned long long>(result.folderCount),
                static_cast<long long>(result.elapsedMs), ScanStatusName(result.status));
    std::fflush(stdout);
  }
}

}  // namespace

// Arguments arrive in the ANSI code page: the bench folders are ASCII paths.
int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: directory_engines_win_bench PATH [WORKERS...] [--runs N]\n");
    return 2;
  }
  const std::u16string path = base::FromUtf8(argv[1]);
  std::vector<std::uint64_t> workerCounts;
  int runs = 1;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else {
      workerCounts.push_back(std::strtoull(arg.c_str(), nullptr, 10));
    }
  }
  if (workerCounts.empty()) workerCounts = {1, 2, 8};

  NtQueryDirectoryScanEngine warmUp(NtQueryDirectoryScanEngine::kDefaultWorkerCount);
  RunOnce(warmUp, path, "warmup", 8, false);
  for (int run = 0; run < runs; ++run) {
    for (std::uint64_t workers : workerCounts) {
      NtQueryDirectoryScanEngine engine(workers);
      RunOnce(engine, path, "ntquery", workers, true);
    }
    DirectoryWalkScanEngine walk(SystemDirectoryFinder());
    RunOnce(walk, path, "walk", 1, true);
  }
  auto timing = std::make_shared<TimingLister>();
  NtQueryDirectoryScanEngine timed(1, timing);
  ScanCancellationToken token;
  const ScanResult result = timed.Scan(path, token, {});
  std::printf("breakdown %lld %llu %llu %llu %llu %llu\n", static_cast<long long>(result.elapsedMs),
              static_cast<unsigned long long>(timing->openNs / 1000000),
              static_cast<unsigned long long>(timing->queryNs / 1000000),
              static_cast<unsigned long long>(timing->closeNs / 1000000),
              static_cast<unsigned long long>(timing->opens.load()),
              static_cast<unsigned long long>(timing->queries.load()));
  // The same compact result every engine fills: where its bytes go.
  const ScanNodesMemory memory = result.nodes.Memory();
  std::printf("memory %llu %llu %llu %llu %llu %llu %llu\n",
              static_cast<unsigned long long>(result.nodes.size()),
              static_cast<unsigned long long>(memory.perNodeArrays),
              static_cast<unsigned long long>(memory.folderArrays),
              static_cast<unsigned long long>(memory.childIndex),
              static_cast<unsigned long long>(memory.nameBytes),
              static_cast<unsigned long long>(memory.nameArenaAllocated),
              static_cast<unsigned long long>(memory.rootPaths));
  return 0;
}
