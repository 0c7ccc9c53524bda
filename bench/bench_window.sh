#!/usr/bin/env bash
# The window thread on a folder of 100,000 children, under Wine on a
# virtual display (a prefix of its own, build/windows/wineprefix-bench):
# the scan-finished hand-over and the expand of that folder, each from the
# message to the rows painted, RUNS times (default 7); medians must stay
# under one second. Prints the machine's load average beside them.
#   BUILD=build bench/bench_window.sh
set -euo pipefail
: "${BUILD:?BUILD must name the build folder root}"
here=$(cd "$(dirname "$0")" && pwd)
scripts=$(dirname "$here")/scripts
exe=$BUILD/windows/bench/main_window_win_bench.exe
[[ -f "$exe" ]] || { echo "bench_window: build the windows configuration first" >&2; exit 1; }
export OMBRIX_WINEPREFIX=$BUILD/windows/wineprefix-bench
OMBRIX_XVFB_SCREEN=1366x768x24 "$scripts/wine-server.sh" start >/dev/null
trap '"$scripts/wine-server.sh" stop >/dev/null 2>&1' EXIT
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
status=0
timeout 600 "$scripts/wine-run.sh" "$exe" "${RUNS:-7}" "${BENCH_CHILDREN:-100000}" </dev/null || status=$?
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
if [[ $status -eq 2 ]]; then echo "bench_window: a median is one second or more"; fi
exit $status
