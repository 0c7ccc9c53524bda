#!/usr/bin/env bash
# Files per second of the directory engines under Wine on one generated tree
# (about 200,000 files in 20,000 folders, made once into $BUILD/bench-data),
# side by side in one run with `du -sb` natively on the same tree (the
# floor: the same directory reads without Wine in between). The engines run
# in one process (directory_engines_win_bench.exe), after a warm-up scan;
# elapsedMs is the engine's own wall time.
#   BUILD=build bench/bench_directory_engines.sh   (RUNS=N for medians of N)
set -euo pipefail
: "${BUILD:?BUILD must name the build folder root}"
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
files=${BENCH_FILES:-200000}
folders=${BENCH_FOLDERS:-20000}
runs=${RUNS:-1}

exe=$BUILD/windows/bench/directory_engines_win_bench.exe
runner=$BUILD/windows/wine-run
[[ -x "$runner" && -f "$exe" ]] || {
  echo "bench_directory_engines: build the windows configuration first" >&2
  exit 1
}

data=$BUILD/bench-data
tree=$data/directory-tree-$files-$folders
mkdir -p "$data"
if [[ ! -f "$tree.stamp" ]]; then
  echo "bench_directory_engines: generating $files files in $folders folders (once)..."
  python3 "$source_dir/tests/data/tree_maker.py" random "$tree" --files "$files" --folders "$folders"
  touch "$tree.stamp"
fi
win_tree="Z:$(tr / '\\' <<<"$tree")"
scans=$(mktemp)
trap 'rm -f "$scans"' EXIT

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

du -sb "$tree" >/dev/null  # warm the page and dentry caches
du_ms=()
for ((i = 0; i < runs; i++)); do
  start=$(now_ms)
  du -sb "$tree" >/dev/null
  du_ms+=($(( $(now_ms) - start )))
done
"$runner" "$exe" "$win_tree" 1 2 8 --runs "$runs" >"$scans"

python3 - "$files" "$folders" "${du_ms[*]}" "$scans" <<'PY'
import collections, statistics, sys
files, folders = int(sys.argv[1]), int(sys.argv[2])
du = statistics.median(int(v) for v in sys.argv[3].split())
scans = collections.OrderedDict()
counts = set()
breakdown = None
memory = None
for line in open(sys.argv[4]):
    if line.startswith("breakdown"):
        breakdown = [int(v) for v in line.split()[1:]]
        continue
    if line.startswith("memory"):
        memory = [int(v) for v in line.split()[1:]]
        continue
    engine, workers, file_count, folder_count, ms, status = line.split()
    assert status == "Completed", line
    counts.add((int(file_count), int(folder_count)))
    scans.setdefault((engine, int(workers)), []).append(int(ms))
assert len(counts) == 1, "engines disagree on the counts: %s" % counts
file_count, folder_count = counts.pop()
rate = lambda ms: file_count / (max(ms, 1) / 1000.0)
walk = statistics.median(scans[("walk", 1)]) if ("walk", 1) in scans else None
print("bench_directory_engines: %d files, %d folders (root included); warm cache, median of %s run(s)"
      % (file_count, folder_count, sys.argv[3].count(" ") + 1))
print("  %-28s %8s %12s %9s %9s" % ("", "ms", "files/s", "vs walk", "vs du"))
for (engine, workers), values in scans.items():
    ms = statistics.median(values)
    label = "ntquery, %d worker%s" % (workers, "" if workers == 1 else "s") if engine == "ntquery" else "walk"
    vs_walk = "%9.2f" % (rate(ms) / rate(walk)) if walk is not None else "%9s" % "-"
    print("  %-28s %8d %12.0f %s %9.2f" % (label + " (Wine)", ms, rate(ms), vs_walk, rate(ms) / rate(du)))
print("  %-28s %8d %12.0f %9s %9.2f" % ("du -sb (native)", du, rate(du), "-", 1.0))
if breakdown:
    elapsed, open_ms, query_ms, close_ms, opens, queries = breakdown
    calls = open_ms + query_ms + close_ms
    print("  where one worker's %d ms go: CreateFileW %d ms (%d opens), NtQueryDirectoryFile %d ms"
          " (%d calls), CloseHandle %d ms; engine's own work %d ms (%.0f%%)"
          % (elapsed, open_ms, opens, query_ms, queries, close_ms, elapsed - calls,
             100.0 * (elapsed - calls) / max(elapsed, 1)))
if memory:
    nodes, per_node, per_folder, child_index, names, arena, roots = memory
    per = lambda b: b / max(nodes, 1)
    print("  result of %d nodes, bytes per node: %.1f per-node arrays + %.1f per-folder arrays + %.1f"
          " child index + %.1f names (%.1f with the arena's unused tail) + %.2f root paths = %.1f"
          % (nodes, per(per_node), per(per_folder), per(child_index), per(names), per(arena),
             per(roots), per(per_node + per_folder + child_index + arena + roots)))
if walk is None:
    print("  (the walk engine is not in this build yet: no walk column)")
PY
