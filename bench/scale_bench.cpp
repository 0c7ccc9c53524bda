// How large a volume Ombrix can hold: builds a result of NODES nodes in
// process, the way the directory engines add them, and times what the
// window does with it.
//   scale_bench NODES [REPEATS]
// The tree has the shape of a big server volume: a few wide levels of
// project folders, then folders of a handful to a few dozen files, twelve
// levels deep, found breadth first (so a folder's subtree is scattered
// through the node order, as with the directory-query engine's queue), and
// one folder of 1,000,000 files below the root. Names are of real lengths
// (8 to 40 units, mostly ASCII, one in fifty with CJK or Cyrillic units).
// Prints one "name wall-ms cpu-ms count" line per timing (medians over
// REPEATS), and the result's bytes per node by structure.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/ranking/folder_ranking_model.h"
#include "base/monotonic_clock.h"
#include "bench/result_memory.h"
#include "core/scan_tree_builder.h"

namespace {

using namespace ombrix;

constexpr std::uint64_t kWideFolderFiles = 1000000;
constexpr std::uint32_t kDeepestLevel = 12;

void AppendNumber(std::u16string& text, std::uint64_t number, int digits) {
  char16_t buffer[24];
  int length = 0;
  do {
    buffer[length++] = static_cast<char16_t>(u'0' + number % 10);
    number /= 10;
  } while (number != 0 || length < digits);
  while (length > 0) text.push_back(buffer[--length]);
}

// Names as volumes hold them: camera pictures, sources, documents, logs,
// packages; now and then one in another script.
void FileName(std::mt19937_64& rng, std::uint64_t number, std::u16string& name) {
  name.clear();
  switch (rng() % 8) {
    case 0:
      name = u"IMG_";
      AppendNumber(name, number % 100000, 5);
      name += u".JPG";
      break;
    case 1:
      name = u"source file ";
      AppendNumber(name, number % 10000, 4);
      name += u" with a typical name.cpp";
      break;
    case 2:
      name = u"report-2024-";
      AppendNumber(name, number % 12 + 1, 2);
      name += u"-";
      AppendNumber(name, number % 28 + 1, 2);
      name += u" final.pdf";
      break;
    case 3:
      name = u"access.log.";
      AppendNumber(name, number % 60, 1);
      break;
    case 4:
      name = u"libcomponent-";
      AppendNumber(name, number % 900, 3);
      name += u".so.1";
      break;
    case 5:
      name = rng() % 25 == 0 ? u"\u8CC7\u6599 " : u"\u041E\u0442\u0447\u0451\u0442 ";
      AppendNumber(name, number % 1000, 3);
      name += u".xlsx";
      break;
    default:
      name = u"document_";
      AppendNumber(name, number, 1);
      name += u".docx";
      break;
  }
}

void FolderName(std::uint32_t level, std::uint64_t number, std::u16string& name) {
  static const char16_t* const kStems[] = {u"Project ", u"module_", u"src ", u"assets-",
                                           u"Backup ", u"node_modules_"};
  name = kStems[(level + number) % std::size(kStems)];
  AppendNumber(name, number % 1000, 3);
}

double ThreadCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

struct Timing {
  double wallMs = 0;
  double cpuMs = 0;
};

template <typename Step>
Timing Time(Step&& step) {
  const double cpuStart = ThreadCpuMilliseconds();
  const auto start = base::MonotonicClock::now();
  step();
  const double wallMs =
      std::chrono::duration<double, std::milli>(base::MonotonicClock::now() - start).count();
  return {wallMs, ThreadCpuMilliseconds() - cpuStart};
}

template <typename Step>
Timing MedianTime(int repeats, Step&& step) {
  std::vector<double> wall;
  std::vector<double> cpu;
  for (int i = 0; i < repeats; ++i) {
    const Timing timing = Time(step);
    wall.push_back(timing.wallMs);
    cpu.push_back(timing.cpuMs);
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

void PrintTiming(const char* name, Timing timing, std::uint64_t detail) {
  std::printf("%s %.3f %.3f %llu\n", name, timing.wallMs, timing.cpuMs,
              static_cast<unsigned long long>(detail));
  std::fflush(stdout);
}

struct SyntheticVolume {
  core::ScanTreeBuilder builder;
  std::uint64_t wideFolder = core::kNoNode;
};

void AddNodes(SyntheticVolume& volume, std::uint64_t nodeCount) {
  std::mt19937_64 rng(7);
  core::ScanTreeBuilder& builder = volume.builder;
  std::u16string name;
  const auto addFile = [&](std::uint64_t parent) {
    FileName(rng, builder.nodes.size(), name);
    // Mostly small files, a few of gigabytes.
    const std::uint64_t size = rng() % (std::uint64_t{1} << (rng() % 33));
    builder.AddFile(parent, name, 0x20, size, 0);
  };
  const std::uint64_t root = builder.AddRoot(u"", u"S:\\", 0x10, 0);
  volume.wideFolder = builder.AddDirectory(root, u"one million files", 0x10, 0);
  for (std::uint64_t i = 0; i < kWideFolderFiles && builder.nodes.size() < nodeCount; ++i) {
    addFile(volume.wideFolder);
  }
  std::deque<std::pair<std::uint64_t, std::uint32_t>> folders{{root, 0}};
  while (builder.nodes.size() < nodeCount && !folders.empty()) {
    const auto [folder, level] = folders.front();
    folders.pop_front();
    const std::uint64_t fileCount = rng() % 41;
    const std::uint64_t folderCount =
        level < 2 ? 10 + rng() % 20 : (level < kDeepestLevel ? rng() % 5 : 0);
    for (std::uint64_t i = 0; i < fileCount && builder.nodes.size() < nodeCount; ++i) {
      addFile(folder);
    }
    for (std::uint64_t i = 0; i < folderCount && builder.nodes.size() < nodeCount; ++i) {
      FolderName(level, builder.nodes.size(), name);
      folders.emplace_back(builder.AddDirectory(folder, name, 0x10, 0), level + 1);
    }
  }
}

// The folder whose subtree size is nearest to `wanted` nodes.
std::uint64_t FolderWithNodesBelow(const core::ScanResult& result, std::uint64_t wanted) {
  std::uint64_t best = result.rootIndex;
  std::uint64_t bestDistance = ~std::uint64_t{0};
  for (std::uint64_t i = 0; i < result.nodes.size(); ++i) {
    if (!result.nodes.IsDirectory(i)) continue;
    const std::uint64_t below = result.nodes.FileCount(i) + result.nodes.FolderCount(i);
    const std::uint64_t distance = below > wanted ? below - wanted : wanted - below;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s NODES [REPEATS]\n", argv[0]);
    return 2;
  }
  const std::uint64_t nodeCount = std::strtoull(argv[1], nullptr, 10);
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

  SyntheticVolume volume;
  const Timing add = Time([&] { AddNodes(volume, nodeCount); });
  PrintTiming("build_add_nodes", add, volume.builder.nodes.size());
  core::ScanResult result;
  const Timing finish = Time([&] {
    volume.builder.ComputeTotals();
    result = volume.builder.BuildResult(core::ScanStatus::Completed, u"S:\\", 0);
  });
  PrintTiming("build_totals_and_links", finish, result.nodes.size());
  std::printf("nodes %llu files %llu folders %llu\n",
              static_cast<unsigned long long>(result.nodes.size()),
              static_cast<unsigned long long>(result.fileCount),
              static_cast<unsigned long long>(result.folderCount));
  bench::PrintResultMemory(result.nodes.Memory(), result.nodes.size());
  const std::uint64_t smallFolder = FolderWithNodesBelow(result, 10000);
  const std::uint64_t wideFolder = volume.wideFolder;
  const std::uint64_t total = result.nodes.size();

  app::FolderRankingModel model;
  PrintTiming("set_result_with_root_ranking", Time([&] { model.SetResult(std::move(result)); }),
              total);
  if (model.fileRows.size() != app::kRankingLength ||
      model.subfolderRows.size() != app::kRankingLength) {
    std::fprintf(stderr, "the root ranking is incomplete\n");
    return 1;
  }
  const std::uint64_t root = model.Result().rootIndex;
  PrintTiming("rank_root", MedianTime(repeats, [&] { model.BuildRankings(root); }), total);
  PrintTiming("rank_folder_10k", MedianTime(repeats * 5, [&] { model.BuildRankings(smallFolder); }),
              model.Result().nodes.FileCount(smallFolder) +
                  model.Result().nodes.FolderCount(smallFolder));
  // Expanding the folder of a million files as a click on its box does:
  // its rows listed and sorted, then the folder selected and ranked. Each
  // round collapses it again first, untimed.
  std::vector<double> wall;
  std::vector<double> cpu;
  for (int i = 0; i < repeats; ++i) {
    model.expandedNodes.erase(wideFolder);
    model.RebuildTreeRows();
    const Timing expand = Time([&] {
      model.ToggleExpanded(wideFolder);
      model.RebuildTreeRows();
      model.SelectTreeNode(wideFolder);
    });
    wall.push_back(expand.wallMs);
    cpu.push_back(expand.cpuMs);
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  PrintTiming("expand_million_children", {wall[wall.size() / 2], cpu[cpu.size() / 2]},
              model.treeRows.size());
  return 0;
}
