#!/usr/bin/env bash
# Files per second of `ombrix-scan --engine walk` under Wine, side by side
# with `du -sb` run natively on the same tree in the same run (the floor:
# the same directory reads without Wine in between). The tree, about
# 200,000 files in 20,000 folders, is generated once into
# $BUILD/bench-data. Both are warmed first; figures are medians of RUNS.
#   BUILD=build bench/bench_walk.sh      (RUNS=N to change the count)
set -euo pipefail
: "${BUILD:?BUILD must name the build folder root}"
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
files=${BENCH_WALK_FILES:-200000}
folders=${BENCH_WALK_FOLDERS:-20000}
runs=${RUNS:-3}

exe=$BUILD/windows/tools/ombrix-scan.exe
runner=$BUILD/windows/wine-run
[[ -x "$runner" && -f "$exe" ]] || { echo "bench_walk: build the windows configuration first" >&2; exit 1; }

data=$BUILD/bench-data
tree=$data/walk-$files-$folders
mkdir -p "$data"
if [[ ! -f "$tree.stamp" ]]; then
  echo "bench_walk: generating $files files in $folders folders (once)..."
  python3 "$source_dir/tests/data/tree_maker.py" random "$tree" --files "$files" --folders "$folders"
  touch "$tree.stamp"
fi
win_tree="Z:$(tr / '\\' <<<"$tree")"
report=$(mktemp)
trap 'rm -f "$report"' EXIT

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Warm the page cache, the dentry cache and Wine's prefix and server.
du -sb "$tree" >/dev/null
"$runner" "$exe" --engine walk --json "$win_tree" >"$report"

walk_elapsed=() walk_wall=() du_wall=()
for ((i = 0; i < runs; i++)); do
  start=$(now_ms)
  du -sb "$tree" >/dev/null
  du_wall+=($(( $(now_ms) - start )))

  start=$(now_ms)
  "$runner" "$exe" --engine walk --json "$win_tree" >"$report"
  walk_wall+=($(( $(now_ms) - start )))
  walk_elapsed+=("$(python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); assert r["status"]=="Completed", r["status"]; print(r["elapsedMs"])' "$report")")
done
scanned=$(python3 -c 'import json,sys; r=json.load(open(sys.argv[1])); print(r["fileCount"], r["folderCount"])' "$report")

python3 - "$runs" "$scanned" "${walk_elapsed[*]}" "${walk_wall[*]}" "${du_wall[*]}" <<'PY'
import statistics, sys
runs = int(sys.argv[1])
file_count, folder_count = map(int, sys.argv[2].split())
walk_ms, wall_ms, du_ms = ([int(v) for v in arg.split()] for arg in sys.argv[3:6])
med = lambda values: statistics.median(values)
rate = lambda ms: file_count / (max(ms, 1) / 1000.0)
walk, wall, du = med(walk_ms), med(wall_ms), med(du_ms)
print("bench_walk: %d files, %d folders; median of %d runs, warm cache" % (file_count, folder_count, runs))
print("  ombrix-scan --engine walk (Wine): elapsedMs %6d ms  %10.0f files/s   (runs %s)" % (walk, rate(walk), walk_ms))
print("  ombrix-scan wall incl. Wine start %6d ms  %10.0f files/s   (runs %s)" % (wall, rate(wall), wall_ms))
print("  du -sb (native)                   %6d ms  %10.0f files/s   (runs %s)" % (du, rate(du), du_ms))
print("  ratio walk/du files per second: %.2f (elapsedMs), %.2f (wall)" % (rate(walk) / rate(du), rate(wall) / rate(du)))
PY
