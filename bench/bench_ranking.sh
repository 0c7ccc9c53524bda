#!/usr/bin/env bash
# The folder ranking model on synthetic results of 2,000,000 and 10,000,000
# nodes, natively and under Wine (bench/ranking_bench.cpp builds the tree
# and times each step). Per figure: the median over RUNS processes of each
# process's own median, as wall time and as the thread's CPU time (steadier
# on a shared machine), and the peak memory of a run. The load average is
# printed with the figures: other processes slow the wall times.
# Goals on 2,000,000 nodes: SetResult with the root ranking under 100 ms,
# a folder with at most 10,000 nodes below it under 5 ms, the tree rows
# with 100,000 children under 100 ms.
#   BUILD=build bench/bench_ranking.sh   (RUNS=N, RANKING_SIZES="2000000 ...")
set -euo pipefail
: "${BUILD:?BUILD must name the build folder root}"
runs=${RUNS:-3}
sizes=${RANKING_SIZES:-2000000 10000000}

native_exe=$BUILD/native/bench/ranking_bench
windows_exe=$BUILD/windows/bench/ranking_bench.exe
runner=$BUILD/windows/wine-run
[[ -x "$native_exe" ]] || { echo "bench_ranking: build the native configuration first" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

platforms=(native)
if [[ -x "$runner" && -f "$windows_exe" ]]; then
  platforms+=(wine)
else
  echo "bench_ranking: no Windows build, native figures only" >&2
fi

echo "load average before: $(uptime | sed 's/.*load average: //')"
for platform in "${platforms[@]}"; do
  for size in $sizes; do
    for ((i = 0; i < runs; i++)); do
      log="$out/$platform-$size-$i"
      if [[ $platform == native ]]; then
        /usr/bin/time -f %M -o "$log.peak" "$native_exe" "$size" >"$log"
      else
        /usr/bin/time -f %M -o "$log.peak" "$runner" "$windows_exe" "$size" >"$log"
      fi
    done
  done
done
echo "load average after:  $(uptime | sed 's/.*load average: //')"

python3 - "$out" "$runs" "${platforms[*]}" "$sizes" <<'PY'
import os, statistics, sys
out, runs, platforms, sizes = sys.argv[1], int(sys.argv[2]), sys.argv[3].split(), sys.argv[4].split()
labels = [
    ("set_result", "SetResult + root ranking"),
    ("rank_root", "BuildRankings(root)"),
    ("rank_folder_1k", "BuildRankings, ~1,000 below"),
    ("rank_folder_10k", "BuildRankings, ~10,000 below"),
    ("rank_folder_200k", "BuildRankings, ~200,000 below"),
    ("tree_rows_100k", "RebuildTreeRows, 100,000 children"),
]
print("bench_ranking: medians of %d runs; wall ms / thread CPU ms (nodes ranked or rows)" % runs)
for platform in platforms:
    for size in sizes:
        figures, peaks, header = {}, [], ""
        for i in range(runs):
            path = os.path.join(out, "%s-%s-%d" % (platform, size, i))
            with open(path) as f:
                for line in f:
                    parts = line.split()
                    if parts[0] == "nodes":
                        header = line.strip()
                    elif len(parts) == 4:
                        figures.setdefault(parts[0], []).append(
                            (float(parts[1]), float(parts[2]), parts[3]))
            with open(path + ".peak") as f:
                peaks.append(int(f.read().split()[-1]))
        print("  %s, %s; peak memory %.0f MiB" % (platform, header, max(peaks) / 1024))
        for key, label in labels:
            values = figures.get(key, [])
            if not values:
                continue
            wall = statistics.median(v[0] for v in values)
            cpu = statistics.median(v[1] for v in values)
            print("    %-36s %9.3f / %9.3f  (%s)" % (label, wall, cpu, values[0][2]))
PY
