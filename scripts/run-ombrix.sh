#!/usr/bin/env bash
# `make run` (BUILD = the build folder root): starts Ombrix under Wine, in a
# Wine prefix of its own (build/windows/wineprefix-run), so a test run's
# server and display never get in its way.
#
# With a display (DISPLAY set) the window opens there and this returns when
# it is closed. A machine without one still shows Ombrix: the window opens
# on a virtual display (Xvfb), a screenshot of it is saved and its path
# printed, and the program is closed again.
set -euo pipefail
: "${BUILD:?BUILD must name the build folder root}"
scripts=$(cd "$(dirname "$0")" && pwd)
exe=$BUILD/windows/ui/ombrix.exe
driver=$BUILD/windows/tests/ui/driver/ombrix-ui-driver.exe
export OMBRIX_WINEPREFIX=$BUILD/windows/wineprefix-run

if [[ -n "${DISPLAY:-}" ]]; then
  exec "$scripts/wine-run.sh" "$exe"
fi

shot=$BUILD/windows/run/ombrix-window.png
mkdir -p "$(dirname "$shot")"
echo "No display here (DISPLAY is not set): starting Ombrix on a virtual one."
OMBRIX_XVFB_SCREEN=1366x768x24 "$scripts/wine-server.sh" start
trap '"$scripts/wine-server.sh" stop' EXIT
"$scripts/wine-run.sh" "$exe" </dev/null >/dev/null 2>&1 &
window=$(timeout 120 "$scripts/wine-run.sh" "$driver" wait --class Ombrix.MainWindow \
  --timeout-ms 90000)
hwnd=$(python3 -c 'import json,sys; print(json.load(sys.stdin)[0]["hwnd"])' <<<"$window")
sleep 1  # the first paint
/usr/bin/import -display ":$(head -n 1 "$OMBRIX_WINEPREFIX.display")" -window root "$shot"
timeout 60 "$scripts/wine-run.sh" "$driver" close --hwnd "$hwnd" >/dev/null
wait
echo "Ombrix ran and was closed again. What its window looked like: $shot"
