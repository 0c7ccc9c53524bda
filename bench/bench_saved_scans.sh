#!/usr/bin/env bash
# Saved scans on the million-file benchmark image (made by
# bench_mft_engine.sh; this driver builds it the same way when missing):
#   - save: ombrix-scan --image IMG --save F minus ombrix-scan --image IMG,
#     run in turns so both meet the same load (medians);
#   - open: ombrix-scan --load F (the file read, checked, decompressed, the
#     tree rebuilt and ranked, the report written), next to the same report
#     from the scan;
#   - the file's bytes per node;
#   - what else could compress the same payload: the file's zstd frame,
#     decompressed with the zstd tool, compressed again with zstd at other
#     levels, gzip and xz (time and bytes per node), which is how the level
#     and the library were chosen.
# Targets: save and open each under 0.5 s, at most 30 bytes per node.
# Environment: BUILD (the build folder root; native build in $BUILD/native),
# SAVED_BENCH_REPEATS (default 5).
set -euo pipefail
: "${BUILD:?BUILD must name the build folder root}"
here=$(cd "$(dirname "$0")" && pwd)
repeats=${SAVED_BENCH_REPEATS:-5}
image="$BUILD/bench-data/mft_engine_100.img"
scan_exe="$BUILD/native/tools/ombrix-scan"
[[ -x "$scan_exe" ]] || { echo "build the native configuration first (make native)" >&2; exit 1; }
if [[ ! -f "$image" ]]; then
  MFT_BENCH_REPEATS=1 bash "$here/bench_mft_engine.sh" >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$image" "$scan_exe" "$repeats" "$work" <<'PY'
import os, resource, statistics, struct, subprocess, sys, time
image, scan_exe, repeats, work = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
median = statistics.median
saved = os.path.join(work, "bench.ombrixscan")
loads = []

def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime

cpu = {}

def timed(args, label=None, **kw):
    """Wall seconds of one run; its CPU seconds (user + system) go to
    cpu[label]. On a shared, loaded machine the CPU time is the steadier."""
    start, start_cpu = time.perf_counter(), children_cpu()
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, **kw)
    loads.append(float(open("/proc/loadavg").read().split()[0]))
    if label:
        cpu.setdefault(label, []).append(children_cpu() - start_cpu)
    return time.perf_counter() - start

scan, scan_save, load = [], [], []
for _ in range(repeats):
    scan.append(timed([scan_exe, "--image", image, "--json"], "scan"))
    scan_save.append(timed([scan_exe, "--image", image, "--json", "--save", saved], "scan_save"))
    load.append(timed([scan_exe, "--load", saved, "--json"], "load"))

report = subprocess.run([scan_exe, "--load", saved, "--json", "--tree"], check=True,
                        capture_output=True).stdout
nodes = report.count(b'"isDirectory"')
size = os.path.getsize(saved)
save_s = median(scan_save) - median(scan)
print(f"nodes: {nodes}, file: {size} bytes, {size / nodes:.1f} bytes per node (target <= 30)")
def line(what, walls, label):
    print(f"{what:24} wall median {median(walls):.3f} s, CPU median {median(cpu[label]):.3f} s")

line("scan --json", scan, "scan")
line("scan --json --save", scan_save, "scan_save")
print(f"{'save (the difference)':24} wall {save_s:.3f} s, CPU "
      f"{median(cpu['scan_save']) - median(cpu['scan']):.3f} s (target < 0.5)")
line("--load --json", load, "load")
print("  (target < 0.5 s; the wall time of a save includes flushing the file to the disk)")

# The payload alone, and what other compressors make of it.
with open(saved, "rb") as f:
    data = f.read()
metadata_length, payload_length, raw_length = struct.unpack_from("<IQQ", data, 12)
frame_at = 32 + metadata_length
frame = os.path.join(work, "payload.zst")
raw = os.path.join(work, "payload.raw")
with open(frame, "wb") as f:
    f.write(data[frame_at:frame_at + payload_length])
subprocess.run(["zstd", "-q", "-d", "-f", frame, "-o", raw], check=True)
print(f"raw payload: {raw_length} bytes ({raw_length / nodes:.1f} per node)")
print("compressor         bytes/node  compress s  decompress s")
for name, pack, unpack in [
    ("zstd -1 (ours)", ["zstd", "-q", "-1", "-c"], ["zstd", "-q", "-d", "-c"]),
    ("zstd -3", ["zstd", "-q", "-3", "-c"], ["zstd", "-q", "-d", "-c"]),
    ("zstd -9", ["zstd", "-q", "-9", "-c"], ["zstd", "-q", "-d", "-c"]),
    ("gzip -6", ["gzip", "-6", "-c"], ["gzip", "-d", "-c"]),
    ("xz -1", ["xz", "-1", "-c"], ["xz", "-d", "-c"]),
]:
    packed = os.path.join(work, "packed")
    with open(raw, "rb") as src, open(packed, "wb") as dst:
        start = time.perf_counter()
        subprocess.run(pack, stdin=src, stdout=dst, check=True)
        pack_s = time.perf_counter() - start
    with open(packed, "rb") as src:
        unpack_s = timed(unpack, stdin=src)
    print(f"{name:18} {os.path.getsize(packed) / nodes:10.1f}  {pack_s:10.3f}  {unpack_s:12.3f}")
print(f"load average during the run: {min(loads):.2f} .. {max(loads):.2f}")
PY
