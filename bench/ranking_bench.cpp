// Times the folder ranking model on a synthetic result the size of a large
// volume:
//   ranking_bench NODES [REPEATS]
// The tree is built breadth first (the order the directory-query engine's
// queue finds folders in, so a folder's subtree is scattered through the
// node vector): about ten files and a few sub-folders per folder, thirteen
// levels deep, plus one folder of 100,000 files below the root. Names and
// paths are short enough for the strings' own buffers: the model reads
// paths only to break ties, and real ones would double the memory of a
// 10,000,000-node tree.
// Prints one "name wall-ms cpu-ms count" line per figure (count: the nodes
// ranked, or the rows listed), medians over REPEATS; SetResult runs once
// per process, since it consumes the tree.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/ranking/folder_ranking_model.h"
#include "base/monotonic_clock.h"
#include "core/scan_tree_builder.h"

namespace {

using namespace ombrix;

constexpr std::uint64_t kWideFolderFiles = 100000;
constexpr std::uint32_t kDeepestLevel = 13;

std::u16string ShortName(std::uint64_t number) {
  std::u16string name(1, u'n');
  do {
    name.push_back(u"0123456789abcdefghijklmnopqrstuvwxyz"[number % 36]);
    number /= 36;
  } while (number != 0);
  return name;
}

struct SyntheticTree {
  core::ScanResult result;
  std::uint64_t wideFolder = core::kNoNode;
};

SyntheticTree BuildTree(std::uint64_t nodeCount) {
  std::mt19937_64 rng(7);
  core::ScanTreeBuilder builder;
  builder.nodes.Reserve(nodeCount + kWideFolderFiles + 64);
  const auto addFile = [&](std::uint64_t parent) {
    const std::u16string name = ShortName(builder.nodes.size());
    // Mostly small files, a few of gigabytes.
    const std::uint64_t size = rng() % (std::uint64_t{1} << (rng() % 33));
    builder.AddFile(parent, name, 0x20, size, 0);
  };
  const std::uint64_t root = builder.AddRoot(u"", u"B:\\", 0x10, 0);
  SyntheticTree tree;
  tree.wideFolder = builder.AddDirectory(root, u"wide", 0x10, 0);
  for (std::uint64_t i = 0; i < kWideFolderFiles; ++i) addFile(tree.wideFolder);

  std::deque<std::pair<std::uint64_t, std::uint32_t>> folders{{root, 0}};
  while (builder.nodes.size() < nodeCount && !folders.empty()) {
    const auto [folder, level] = folders.front();
    folders.pop_front();
    const std::uint64_t fileCount = rng() % 21;
    const std::uint64_t folderCount =
        level < 2 ? 8 + rng() % 8 : (level < kDeepestLevel ? rng() % 6 : 0);
    for (std::uint64_t i = 0; i < fileCount && builder.nodes.size() < nodeCount; ++i) {
      addFile(folder);
    }
    for (std::uint64_t i = 0; i < folderCount && builder.nodes.size() < nodeCount; ++i) {
      const std::u16string name = ShortName(builder.nodes.size());
      folders.emplace_back(builder.AddDirectory(folder, name, 0x10, 0), level + 1);
    }
  }
  builder.ComputeTotals();
  tree.result = builder.BuildResult(core::ScanStatus::Completed, u"B:\\", 0);
  return tree;
}

// The folder whose subtree size is nearest to `wanted` nodes.
std::uint64_t FolderWithNodesBelow(const core::ScanResult& result, std::uint64_t wanted) {
  std::uint64_t best = result.rootIndex;
  std::uint64_t bestDistance = ~std::uint64_t{0};
  for (const core::ScanNode& node : result.nodes) {
    if (!node.IsDirectory()) continue;
    const std::uint64_t below = node.FileCount() + node.FolderCount();
    const std::uint64_t distance = below > wanted ? below - wanted : wanted - below;
    if (distance < bestDistance) {
      best = node.Id();
      bestDistance = distance;
    }
  }
  return best;
}

double ThreadCpuMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// Wall time is what the user waits; the thread's CPU time is steadier on a
// shared machine, and the two apart show time lost to other processes.
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
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s NODES [REPEATS]\n", argv[0]);
    return 2;
  }
  const std::uint64_t nodeCount = std::strtoull(argv[1], nullptr, 10);
  const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;

  SyntheticTree tree;
  const Timing build = Time([&] { tree = BuildTree(nodeCount); });
  const core::ScanResult& synthetic = tree.result;
  std::printf("nodes %llu files %llu folders %llu built_in_ms %.0f\n",
              static_cast<unsigned long long>(synthetic.nodes.size()),
              static_cast<unsigned long long>(synthetic.fileCount),
              static_cast<unsigned long long>(synthetic.folderCount), build.wallMs);
  const auto nodesBelow = [&](std::uint64_t node) {
    return synthetic.nodes[node].FileCount() + synthetic.nodes[node].FolderCount();
  };
  struct Ranked {
    const char* name;
    std::uint64_t folder;
    std::uint64_t nodesBelow;
    int repeats;
  };
  std::vector<Ranked> folders;
  for (const auto& [name, wanted, times] : {std::tuple{"rank_folder_1k", 1000, repeats * 5},
                                            std::tuple{"rank_folder_10k", 10000, repeats * 5},
                                            std::tuple{"rank_folder_200k", 200000, repeats}}) {
    const std::uint64_t folder = FolderWithNodesBelow(synthetic, wanted);
    folders.push_back({name, folder, nodesBelow(folder), times});
  }
  app::FolderRankingModel model;
  const std::uint64_t nodeTotal = synthetic.nodes.size();
  PrintTiming("set_result", Time([&] { model.SetResult(std::move(tree.result)); }), nodeTotal);
  if (model.fileRows.size() != app::kRankingLength ||
      model.subfolderRows.size() != app::kRankingLength) {
    std::fprintf(stderr, "the root ranking is incomplete\n");
    return 1;
  }
  const std::uint64_t root = model.Result().rootIndex;
  // BuildRankings, not SelectNode: selecting the node already ranked would
  // time nothing from the second repeat on.
  PrintTiming("rank_root", MedianTime(repeats, [&] { model.BuildRankings(root); }), nodeTotal);
  for (const Ranked& ranked : folders) {
    PrintTiming(ranked.name,
                MedianTime(ranked.repeats, [&] { model.BuildRankings(ranked.folder); }),
                ranked.nodesBelow);
  }
  model.expandedNodes.insert(tree.wideFolder);
  const Timing rows = MedianTime(repeats, [&] { model.RebuildTreeRows(); });
  PrintTiming("tree_rows_100k", rows, model.treeRows.size());
  return 0;
}
