#!/usr/bin/env bash
# How large a volume Ombrix holds: results of 10 and 50 million nodes built
# in process (bench/scale_bench.cpp: real name lengths and fan-out, one
# folder of a million files), natively, and of 10 million under Wine. Per
# size: bytes per node by structure and the process's peak, the build, the
# root's ranking (as a finished scan hands over, and again), a folder of
# about 10,000 nodes, and expanding the folder of a million files as a click
# on its box does. Medians of RUNS processes, each the median of its
# repeats; wall ms / the thread's CPU ms. The load average is printed with
# the figures.
#   BUILD=build bench/bench_scale.sh   (RUNS=N, SCALE_SIZES="10000000 ...")
set -euo pipefail
: "${BUILD:?BUILD must name the build folder root}"
runs=${RUNS:-1}
sizes=${SCALE_SIZES:-10000000 50000000}
wine_sizes=${SCALE_WINE_SIZES:-10000000}

native_exe=$BUILD/native/bench/scale_bench
windows_exe=$BUILD/windows/bench/scale_bench.exe
runner=$BUILD/windows/wine-run
[[ -x "$native_exe" ]] || { echo "bench_scale: build the native configuration first" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

echo "load average before: $(uptime | sed 's/.*load average: //')"
runs_of() {  # platform size
  for ((i = 0; i < runs; i++)); do
    log="$out/$1-$2-$i"
    if [[ $1 == native ]]; then
      /usr/bin/time -f %M -o "$log.peak" "$native_exe" "$2" >"$log"
    else
      /usr/bin/time -f %M -o "$log.peak" "$runner" "$windows_exe" "$2" >"$log"
    fi
  done
}
for size in $sizes; do runs_of native "$size"; done
if [[ -x "$runner" && -f "$windows_exe" ]]; then
  for size in $wine_sizes; do runs_of wine "$size"; done
else
  echo "bench_scale: no Windows build, native figures only" >&2
fi
echo "load average after:  $(uptime | sed 's/.*load average: //')"

python3 - "$out" "$runs" <<'PY'
import glob, os, re, statistics, sys
out, runs = sys.argv[1], int(sys.argv[2])
labels = [
    ("build_add_nodes", "build: adding the nodes"),
    ("build_totals_and_links", "build: totals and child index"),
    ("set_result_with_root_ranking", "hand-over with the root's ranking"),
    ("rank_root", "the root's ranking"),
    ("rank_folder_10k", "a folder of ~10,000 nodes"),
    ("expand_million_children", "expand a folder of 1,000,000 files"),
]
print("bench_scale: medians of %d run(s); wall ms / thread CPU ms (nodes, or rows)" % runs)
groups = sorted({os.path.basename(p).rsplit("-", 1)[0] for p in glob.glob(os.path.join(out, "*-*-*"))
                 if not p.endswith(".peak")}, key=lambda g: (g.split("-")[0] != "native", int(g.split("-")[1])))
verdicts = []
for group in groups:
    platform, size = group.split("-")
    figures, peaks, memory = {}, [], ""
    for i in range(runs):
        path = os.path.join(out, "%s-%d" % (group, i))
        for line in open(path):
            parts = line.split()
            if line.startswith("result:"):
                memory = line.strip()
            elif len(parts) == 4 and parts[0] in dict(labels):
                figures.setdefault(parts[0], []).append((float(parts[1]), float(parts[2]), parts[3]))
        peaks.append(int(open(path + ".peak").read().split()[-1]))
    nodes = int(size)
    print("  %s, %s nodes; peak memory %.0f MiB (%.0f bytes per node)"
          % (platform, f"{nodes:,}", max(peaks) / 1024, max(peaks) * 1024 / nodes))
    print("    " + memory)
    for key, label in labels:
        values = figures.get(key, [])
        if values:
            wall = statistics.median(v[0] for v in values)
            cpu = statistics.median(v[1] for v in values)
            print("    %-42s %10.1f / %10.1f  (%s)" % (label, wall, cpu, values[0][2]))
            if key == "rank_root" and platform == "native" and nodes == 10000000:
                verdicts.append("the root's ranking at 10 M nodes under 100 ms: %.1f ms  %s"
                                % (wall, "met" if wall < 100 else "NOT met"))
print("targets:")
for v in verdicts:
    print("  " + v)
PY
