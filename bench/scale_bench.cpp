// How large a volume Ombrix can hold: builds a result of NODES nodes in
// process, the way the directory engines add them (a synthetic volume:
// bench/support/synthetic_volume.h), and times what the window does with
// it.
//   scale_bench NODES [REPEATS]
// Prints one "name wall-ms cpu-ms count" line per timing (medians over
// REPEATS), and the result's bytes per node by structure.
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "app/ranking/folder_ranking_model.h"
#include "bench/result_memory.h"
#include "bench/support/bench_arguments.h"
#include "bench/support/bench_timing.h"
#include "bench/support/synthetic_volume.h"

using namespace ombrix;
using bench::MedianTime;
using bench::PrintTiming;
using bench::Time;
using bench::Timing;

int main(int argc, char** argv) {
  const auto arguments = bench::ParseVolumeArguments(argc, argv);
  if (!arguments) return 2;
  const std::uint64_t nodeCount = arguments->nodeCount;
  const int repeats = arguments->repeats;

  bench::SyntheticVolume volume;
  const Timing add = Time([&] { bench::AddSyntheticNodes(volume, nodeCount); });
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
  const std::uint64_t smallFolder = bench::FolderWithNodesBelow(result, 10000);
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
  std::vector<Timing> expands;
  for (int i = 0; i < repeats; ++i) {
    model.expandedNodes.erase(wideFolder);
    model.RebuildTreeRows();
    expands.push_back(Time([&] {
      model.ToggleExpanded(wideFolder);
      model.RebuildTreeRows();
      model.SelectTreeNode(wideFolder);
    }));
  }
  PrintTiming("expand_million_children", bench::MedianOf(expands), model.treeRows.size());
  return 0;
}
