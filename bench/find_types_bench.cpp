// File types and finds over a result of NODES nodes built in process (a
// synthetic volume: bench/support/synthetic_volume.h), as the window runs
// them on its worker.
//   find_types_bench NODES [REPEATS]
// Prints one "name wall-ms cpu-ms count" line per timing (medians over
// REPEATS): the types of the root and of a folder of about 10,000 nodes,
// finds over the whole result with patterns of each shape (a suffix, a
// prefix, a word inside, two alternatives with a size, a date alone, and
// every file), and the filter box: five keys typed 40 ms apart, each
// asking the find runner anew, timed from the last key until its answer is
// ready to be shown.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/find/file_types.h"
#include "app/find/find_files.h"
#include "app/find/latest_query_runner.h"
#include "base/monotonic_clock.h"
#include "bench/support/bench_arguments.h"
#include "bench/support/bench_timing.h"
#include "bench/support/synthetic_volume.h"

using namespace ombrix;
using bench::MedianTime;
using bench::PrintTiming;
using bench::Time;
using bench::Timing;

namespace {

// The window lists at most this many found files.
constexpr std::uint64_t kListedFiles = 100000;
constexpr auto kKeyInterval = std::chrono::milliseconds(40);

std::uint64_t FindCount(const core::ScanResult& result, std::u16string_view text) {
  const app::ParsedFindText parsed = app::ParseFindText(text);
  if (!parsed.query) return 0;
  app::FindCriteria criteria;
  criteria.pattern = parsed.query->pattern;
  criteria.minimumSize = parsed.query->minimumSize;
  if (parsed.query->modifiedBefore) {
    criteria.writtenBefore = app::FileTimeAtUtcMidnight(*parsed.query->modifiedBefore);
  }
  const auto found = app::FindFiles(result, core::kNoNode, criteria, core::SizeBasis::Logical,
                                    kListedFiles);
  return found ? found->count : 0;
}

// Types "report" a key at a time into the runner, as the filter box does,
// and returns the time from the last key until the window thread has shown
// its answer. Answers to earlier keys that arrive meanwhile are dropped by
// Deliver, as in the window, and do not end the wait.
Timing TypeIntoFilterBox(const core::ScanResult& result) {
  std::mutex mutex;
  std::condition_variable woken;
  bool wake = false;
  app::LatestQueryRunner runner([&] {
    std::lock_guard lock(mutex);
    wake = true;
    woken.notify_all();
  });
  const std::u16string word = u"report";
  bool lastShown = false;
  base::MonotonicClock::time_point lastKey;
  for (std::size_t length = 2; length <= word.size(); ++length) {
    const std::u16string text = word.substr(0, length);
    const bool last = length == word.size();
    lastKey = base::MonotonicClock::now();
    runner.Ask([&result, &lastShown, text, last](std::stop_token stop) -> std::function<void()> {
      app::FindCriteria criteria;
      criteria.pattern = app::NamePattern::Parse(text);
      auto found = app::FindFiles(result, core::kNoNode, criteria, core::SizeBasis::Logical,
                                  kListedFiles, stop);
      if (!found) return nullptr;
      return [&lastShown, last] { lastShown = lastShown || last; };
    });
    if (!last) std::this_thread::sleep_for(kKeyInterval);
  }
  while (!lastShown) {
    {
      std::unique_lock lock(mutex);
      woken.wait(lock, [&] { return wake; });
      wake = false;
    }
    runner.Deliver();
  }
  const double wallMs =
      std::chrono::duration<double, std::milli>(base::MonotonicClock::now() - lastKey).count();
  return {wallMs, 0};
}

}  // namespace

int main(int argc, char** argv) {
  const auto arguments = bench::ParseVolumeArguments(argc, argv);
  if (!arguments) return 2;
  const std::uint64_t nodeCount = arguments->nodeCount;
  const int repeats = arguments->repeats;

  bench::SyntheticVolume volume;
  bench::AddSyntheticNodes(volume, nodeCount);
  volume.builder.ComputeTotals();
  const core::ScanResult result =
      volume.builder.BuildResult(core::ScanStatus::Completed, u"S:\\", 0);
  std::printf("nodes %llu files %llu folders %llu\n",
              static_cast<unsigned long long>(result.nodes.size()),
              static_cast<unsigned long long>(result.fileCount),
              static_cast<unsigned long long>(result.folderCount));

  // Each figure is printed once its step has run: the count it shows is
  // set by the step.
  std::uint64_t types = 0;
  const Timing typesOfRoot = MedianTime(repeats, [&] {
    types = app::BreakDownFileTypes(result, core::kNoNode, core::SizeBasis::Logical)->rows.size();
  });
  PrintTiming("types_root", typesOfRoot, types);
  // A volume of a million nodes is the folder of a million files alone: it
  // has no folder of about 10,000 nodes to time.
  const std::uint64_t folder = bench::FolderWithNodesBelow(result, 10000);
  if (result.nodes.FileCount(folder) + result.nodes.FolderCount(folder) <= 100000) {
    const Timing typesOfFolder = MedianTime(repeats, [&] {
      types = app::BreakDownFileTypes(result, folder, core::SizeBasis::Logical)->rows.size();
    });
    PrintTiming("types_folder_10k", typesOfFolder, types);
  }

  const struct {
    const char* name;
    std::u16string_view text;
  } finds[] = {
      {"find_suffix", u"*.xlsx"},
      {"find_prefix", u"IMG_0042*"},
      {"find_word", u"final"},
      {"find_two_with_size", u"*.jpg;*.pdf >1GB"},
      {"find_date", u"<2016-01-01"},
      {"find_every_file", u"*"},
  };
  for (const auto& find : finds) {
    std::uint64_t count = 0;
    const Timing timing = MedianTime(repeats, [&] { count = FindCount(result, find.text); });
    PrintTiming(find.name, timing, count);
  }
  std::vector<Timing> updates;
  for (int i = 0; i < repeats; ++i) updates.push_back(TypeIntoFilterBox(result));
  PrintTiming("filter_box_last_key_to_answer", bench::MedianOf(updates), 6);
  return 0;
}
