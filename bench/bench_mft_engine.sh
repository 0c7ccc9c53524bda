#!/usr/bin/env bash
# MFT engine benchmark. Builds once (cached in $BUILD/bench-data) an NTFS
# image holding about 1,000,000 files in a realistic tree, written through
# libntfs-3g, then prints side by side, warm cache:
#   - the floor: reading the image's $MFT extents with dd, and icat IMG 0
#   - ombrix-scan --image end to end with the trace's phase times (when the
#     tool is built), else the engine through mft_engine_bench
#   - The Sleuth Kit's fls -r -p on the same image
#   - peak memory of ours (/usr/bin/time -v) and bytes per node
#   - the decode phase with 1 and with 2 workers
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
import os, re, statistics, subprocess, sys, time
image, bench_exe, scan_exe, repeats = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])

def timed(args, env=None, runs=repeats):
    times, last = [], None
    for _ in range(runs):
        start = time.perf_counter()
        last = subprocess.run(args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env, check=True)
        times.append(time.perf_counter() - start)
    return statistics.median(times), last

runs_out = subprocess.run([bench_exe, "--runs", image], capture_output=True, text=True, check=True).stdout
extents = [tuple(map(int, line.split())) for line in runs_out.splitlines()]
mft_bytes = sum(length for _, length in extents)

def read_extents():
    for offset, length in extents:
        subprocess.run(["dd", "if=" + image, "of=/dev/null", "bs=8M", "iflag=skip_bytes,count_bytes",
                        "skip=%d" % offset, "count=%d" % length, "status=none"], check=True)

# Warm the cache.
read_extents(); read_extents()
dd_times = []
for _ in range(repeats):
    start = time.perf_counter(); read_extents(); dd_times.append(time.perf_counter() - start)
dd = statistics.median(dd_times)
icat, _ = timed(["icat", image, "0"])

trace_env = dict(os.environ, OMBRIX_MFT_TRACE="1")
have_tool = os.access(scan_exe, os.X_OK) and subprocess.run(
    [scan_exe, "--help"], capture_output=True, text=True).stdout.find("--image") >= 0
if have_tool:
    ours_args = [scan_exe, "--image", image, "--json"]
    ours_label = "ombrix-scan --image --json"
else:
    ours_args = [bench_exe, "--scan", image]
    ours_label = "engine via mft_engine_bench (ombrix-scan --image not built)"
ours, last = timed(ours_args, env=trace_env)
trace = [l for l in last.stderr.decode(errors="replace").splitlines() if l.startswith("[OmbrixPerf]")]
mem = subprocess.run(["/usr/bin/time", "-v"] + ours_args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                     env=trace_env, check=True).stderr.decode(errors="replace")
peak_kb = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", mem).group(1))
nodes = re.search(r"nodes=(\d+)", trace[-1]).group(1) if trace else None
fls, _ = timed(["fls", "-r", "-p", image], runs=1 if repeats > 1 else repeats)

detail = subprocess.run([bench_exe, image, str(repeats)], capture_output=True, text=True, check=True).stdout

print("MFT engine benchmark: %s ($MFT %.0f MB in %d extents)" % (os.path.basename(image), mft_bytes / 1e6, len(extents)))
print("  floor: dd over the $MFT extents  %.3f s" % dd)
print("  floor: icat IMG 0                %.3f s" % icat)
print("  %-32s %.3f s  (%.2fx the dd floor)" % ("ours: " + ours_label[:26], ours, ours / dd))
print("  fls -r -p IMG                    %.3f s  (ours %.1fx faster)" % (fls, fls / ours))
print("  peak memory of ours              %.0f MB" % (peak_kb / 1024.0) +
      ("  (%.0f bytes per name entry)" % (peak_kb * 1024.0 / int(nodes)) if nodes else ""))
for line in trace[-1:]:
    print("  trace: " + line)
for line in detail.splitlines():
    print("  " + line)
PY
