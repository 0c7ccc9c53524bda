#!/usr/bin/env bash
# File types and finds over the result in memory (bench/find_types_bench.cpp
# builds a synthetic volume of 1 and 10 million nodes in process and times
# what the window's worker runs), natively and, with a Windows build, under
# Wine. Medians of RUNS processes, each the median of its repeats; wall ms /
# the thread's CPU ms (the root's types run on several threads: their CPU
# figure is the calling thread's alone). The load average is printed with
# the figures.
# Goals on 10,000,000 nodes: the types of the root under 300 ms, a find over
# the whole result under 300 ms; on 1,000,000 nodes each filter-box update
# ready within 100 ms of the last key.
#   BUILD=build bench/bench_find_types.sh   (RUNS=N, FIND_SIZES="1000000 ...")
set -euo pipefail
: "${BUILD:?BUILD must name the build folder root}"
runs=${RUNS:-3}
sizes=${FIND_SIZES:-1000000 10000000}
wine_sizes=${FIND_WINE_SIZES:-1000000 10000000}

native_exe=$BUILD/native/bench/find_types_bench
windows_exe=$BUILD/windows/bench/find_types_bench.exe
runner=$BUILD/windows/wine-run
[[ -x "$native_exe" ]] || { echo "bench_find_types: build the native configuration first" >&2; exit 1; }

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

platforms=(native)
if [[ -x "$runner" && -f "$windows_exe" ]]; then
  platforms+=(wine)
else
  echo "bench_find_types: no Windows build, native figures only" >&2
fi

echo "load average before: $(uptime | sed 's/.*load average: //')"
for platform in "${platforms[@]}"; do
  list=$sizes
  [[ $platform == wine ]] && list=$wine_sizes
  for size in $list; do
    for ((i = 0; i < runs; i++)); do
      log="$out/$platform-$size-$i"
      if [[ $platform == native ]]; then
        "$native_exe" "$size" >"$log"
      else
        "$runner" "$windows_exe" "$size" >"$log"
      fi
    done
  done
done
echo "load average after:  $(uptime | sed 's/.*load average: //')"

python3 - "$out" "$runs" "${platforms[*]}" "$sizes" "$wine_sizes" <<'PY'
import os, statistics, sys
out, runs, platforms = sys.argv[1], int(sys.argv[2]), sys.argv[3].split()
size_lists = {"native": sys.argv[4].split(), "wine": sys.argv[5].split()}
labels = [
    ("types_root", "types of the root"),
    ("types_folder_10k", "types of a folder, ~10,000 below"),
    ("find_suffix", "find *.xlsx"),
    ("find_prefix", "find IMG_0042*"),
    ("find_word", "find final (a word inside)"),
    ("find_two_with_size", "find *.jpg;*.pdf >1GB"),
    ("find_date", "find <2016-01-01"),
    ("find_every_file", "find * (100,000 listed)"),
    ("filter_box_last_key_to_answer", "filter box: last key to answer"),
]
print("bench_find_types: medians of %d runs; wall ms / thread CPU ms (types, matches or keys)" % runs)
for platform in platforms:
    for size in size_lists[platform]:
        figures, header = {}, ""
        for i in range(runs):
            with open(os.path.join(out, "%s-%s-%d" % (platform, size, i))) as f:
                for line in f:
                    parts = line.split()
                    if parts and parts[0] == "nodes":
                        header = line.strip()
                    elif len(parts) == 4:
                        figures.setdefault(parts[0], []).append(
                            (float(parts[1]), float(parts[2]), parts[3]))
        print("  %s, %s" % (platform, header))
        for key, label in labels:
            values = figures.get(key, [])
            if not values:
                continue
            wall = statistics.median(v[0] for v in values)
            cpu = statistics.median(v[1] for v in values)
            print("    %-36s %9.3f / %9.3f  (%s)" % (label, wall, cpu, values[0][2]))
PY
