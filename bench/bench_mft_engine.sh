#!/usr/bin/env bash
# MFT engine benchmark. Builds once (cached in $BUILD/bench-data) an NTFS
# image holding about 1,000,000 files in a realistic tree, written through
# libntfs-3g, then prints side by side, warm cache, with the load average
# seen during the run (the floor and ours are measured in turns, so both
# meet the same load on a shared machine):
#   - the floor: reading the image's $MFT extents with dd, and icat IMG 0
#   - ombrix-scan --image end to end, wall and CPU time, with the trace's
#     phase times (when the tool is built), else the engine through
#     mft_engine_bench
#   - The Sleuth Kit's fls -r -p on the same image (median of 3 runs)
#   - peak memory of ours (/usr/bin/time -v) and bytes per node
#   - from mft_engine_bench: decode with 1 and 2 workers (wall, CPU, the
#     critical path), read+decode by chunk length, tree building per million
#     nodes, where the result's bytes go
#   - each target and whether it was met
# Environment: BUILD (the build folder; native build in $BUILD/native),
# MFT_BENCH_TOP (top folders, default 100: 100 x 10 x 10 leaf folders of
# 100 files each), MFT_BENCH_REPEATS (default 5).
set -euo pipefail
: "${BUILD:?BUILD must name the build folder}"
here=$(cd "$(dirname "$0")" && pwd)
top=${MFT_BENCH_TOP:-100}
repeats=${MFT_BENCH_REPEATS:-5}
data="$BUILD/bench-data"
image="$data/mft_engine_${top}.img"
native="$BUILD/native"
bench_exe="$native/bench/mft_engine_bench"
scan_exe="$native/tools/ombrix-scan"
[[ -x "$bench_exe" ]] || { echo "build the native configuration first (make native)" >&2; exit 1; }
mkdir -p "$data"

# Image, rebuilt only when the populator or the shape changes.
stamp_now=$(cat "$here/ntfs_populate.c" <(echo "top=$top v1") | sha256sum | cut -d' ' -f1)
if [[ ! -f "$image.stamp" || "$(cat "$image.stamp")" != "$stamp_now" ]]; then
  rm -f "$image.stamp" "$image"
  gcc -O2 -o "$data/ntfs_populate" "$here/ntfs_populate.c" \
    $(pkg-config --cflags --libs libntfs-3g)
  truncate -s 6G "$image"
  mkntfs -F -Q -q -p 0 -H 0 -S 0 "$image" 2>/dev/null
  echo "building the benchmark image (once; several minutes)..." >&2
  "$data/ntfs_populate" "$image" "$top" 10 10 100 >/dev/null
  echo "$stamp_now" > "$image.stamp"
fi

python3 - "$image" "$bench_exe" "$scan_exe" "$repeats" <<'PY'
import mmap, os, re, statistics, subprocess, sys, time
image, bench_exe, scan_exe, repeats = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
median = statistics.median

def load():
    return float(open("/proc/loadavg").read().split()[0])

def verbose_run(args, env=None):
    """Runs args under /usr/bin/time -v: (wall s, CPU s, peak KB, stderr)."""
    start = time.perf_counter()
    err = subprocess.run(["/usr/bin/time", "-v"] + args, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, env=env, check=True).stderr.decode(errors="replace")
    wall = time.perf_counter() - start
    user = float(re.search(r"User time \(seconds\): ([\d.]+)", err).group(1))
    system = float(re.search(r"System time \(seconds\): ([\d.]+)", err).group(1))
    peak = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", err).group(1))
    return wall, user + system, peak, err

runs_out = subprocess.run([bench_exe, "--runs", image], capture_output=True, text=True, check=True).stdout
extents = [tuple(map(int, line.split())) for line in runs_out.splitlines()]
mft_bytes = sum(length for _, length in extents)

def read_extents():
    for offset, length in extents:
        subprocess.run(["dd", "if=" + image, "of=/dev/null", "bs=8M", "iflag=skip_bytes,count_bytes",
                        "skip=%d" % offset, "count=%d" % length, "status=none"], check=True)

trace_env = dict(os.environ, OMBRIX_MFT_TRACE="1")
have_tool = os.access(scan_exe, os.X_OK) and subprocess.run(
    [scan_exe, "--help"], capture_output=True, text=True).stdout.find("--image") >= 0
if have_tool:
    ours_args = [scan_exe, "--image", image, "--json"]
    ours_label = "ombrix-scan --image --json"
else:
    ours_args = [bench_exe, "--scan", image]
    ours_label = "mft_engine_bench --scan"

# Warm the cache, then the floor and ours in turns, so that both see the
# same load on a shared machine.
read_extents(); read_extents()
loads = [load()]
dd_times, icat_times, ours = [], [], []
for _ in range(repeats):
    start = time.perf_counter(); read_extents(); dd_times.append(time.perf_counter() - start)
    start = time.perf_counter()
    subprocess.run(["icat", image, "0"], stdout=subprocess.DEVNULL, check=True)
    icat_times.append(time.perf_counter() - start)
    ours.append(verbose_run(ours_args, trace_env))
    loads.append(load())
dd, icat = median(dd_times), median(icat_times)
ours_wall = median(r[0] for r in ours)
ours_cpu = median(r[1] for r in ours)
peak_kb = median(r[2] for r in ours)

def trace_field(err, name):
    m = re.search(r"\b%s=(\d+)" % name, err)
    return int(m.group(1)) if m else None

traces = [[l for l in r[3].splitlines() if l.startswith("[OmbrixPerf]")] for r in ours]
nodes = trace_field(ours[-1][3], "nodes")
tree_ms = [sum(trace_field(r[3], f) for f in ("buildChildrenMs", "populateTreeMs", "finalizeMs"))
           for r in ours if trace_field(r[3], "populateTreeMs") is not None]

# fls takes many seconds a run, and a single run swings with the load.
fls_runs = []
for _ in range(3):
    fls_runs.append(verbose_run(["fls", "-r", "-p", image]))
    loads.append(load())
fls_wall = median(r[0] for r in fls_runs)
fls_cpu = median(r[1] for r in fls_runs)

detail = subprocess.run([bench_exe, image, str(repeats)], capture_output=True, text=True,
                        check=True).stdout
loads.append(load())
speedup = re.search(r"([\d.]+)x by wall time, ([\d.]+)x on 2 free cores", detail)
tree_cpu = re.search(r"([\d.]+) ms CPU of all threads", detail)

def fault_microseconds():
    """What touching one fresh page costs on this machine now: a loaded
    machine makes every fresh page of a scan dearer, ours and fls's alike."""
    pages = 16384
    region = mmap.mmap(-1, pages * mmap.PAGESIZE)
    start = time.perf_counter()
    for page in range(pages):
        region[page * mmap.PAGESIZE] = 1
    elapsed = time.perf_counter() - start
    region.close()
    return elapsed * 1e6 / pages

fault_us = fault_microseconds()

def verdict(ok):
    return "met" if ok else "NOT met"

print("MFT engine benchmark: %s ($MFT %.0f MB in %d extents), medians of %d, warm cache"
      % (os.path.basename(image), mft_bytes / 1e6, len(extents), repeats))
print("  load average (1 min) during the run: %s on %d cores"
      % (", ".join("%.1f" % l for l in loads), os.cpu_count()))
print("  floor: dd over the $MFT extents  %.3f s" % dd)
print("  floor: icat IMG 0                %.3f s" % icat)
print("  ours: %-26s %.3f s  (%.2fx the dd floor; CPU %.2f s)" % (ours_label, ours_wall, ours_wall / dd, ours_cpu))
print("  fls -r -p IMG (median of 3)      %.3f s  (CPU %.2f s; ours %.1fx faster)" % (fls_wall, fls_cpu, fls_wall / ours_wall))
if nodes:
    print("  peak memory of ours              %.0f MB  (%.0f bytes per node)" % (peak_kb / 1024.0, peak_kb * 1024.0 / nodes))
if tree_ms and nodes:
    print("  tree building from the trace     %.0f ms per million nodes (wall)" % (median(tree_ms) * 1e6 / nodes))
for line in traces[-1][-1:]:
    print("  trace: " + line)
for line in detail.splitlines():
    print("  " + line)
print("  a fresh page costs %.1f us to fault in now (it was about 2 us on a quiet machine)" % fault_us)
print("targets:")
print("  end to end <= 1.5x the dd floor: %.2fx  %s" % (ours_wall / dd, verdict(ours_wall <= 1.5 * dd)))
print("  >= 15x faster than fls -r -p:  %.1fx  %s" % (fls_wall / ours_wall, verdict(fls_wall >= 15 * ours_wall)))
if speedup:
    print("  2 workers >= 1.6x one in CPU-bound decode: %sx on 2 free cores (CPU times), %sx by wall  %s"
          % (speedup.group(2), speedup.group(1), verdict(float(speedup.group(2)) >= 1.6)))
if tree_ms and nodes:
    wall_per_million = median(tree_ms) * 1e6 / nodes
    print("  tree building <= 100 ms per million nodes, fresh process: %.0f ms  %s"
          % (wall_per_million, verdict(wall_per_million <= 100)))
result_bytes = re.search(r"bytes per node: .* = ([\d.]+)", detail)
if result_bytes:
    print("  result <= 100 bytes per node: %s  %s"
          % (result_bytes.group(1), verdict(float(result_bytes.group(1)) <= 100)))
if nodes:
    per_node = peak_kb * 1024.0 / nodes
    print("  peak memory <= 150 bytes per node: %.0f  %s" % (per_node, verdict(per_node <= 150)))
PY
