#!/usr/bin/env bash
# `make run` (BUILD = the build folder root): starts Ombrix under Wine, in a
# Wine prefix of its own (build/windows/wineprefix-run), so a test run's
# server and display never get in its way.
#
# With a display (DISPLAY set) the window opens there and this returns when
# it is closed. A machine without one still shows Ombrix at work: the window
# opens on a virtual display (Xvfb), the test driver drops this repository's
# folder on it and presses Scan as a user would, a screenshot of the filled
# lists is saved and its path printed, and the program is closed again.
set -euo pipefail
: "${BUILD:?BUILD must name the build folder root}"
scripts=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$scripts/.." && pwd)
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
drive() { timeout 120 "$scripts/wine-run.sh" "$driver" "$@" </dev/null; }
window=$(drive wait --class Ombrix.MainWindow --timeout-ms 90000)
hwnd=$(python3 -c 'import json,sys; print(json.load(sys.stdin)[0]["hwnd"])' <<<"$window")
# This repository's folder, as Wine sees it through its Z: drive.
folder="Z:${repo//\//\\}"
echo "Dropping $folder on the window and pressing Scan."
drive drop --hwnd "$hwnd" --path "$folder" >/dev/null
drive click --hwnd "$hwnd" --id 1002 >/dev/null
# The scan has ended when Scan is enabled and Cancel is not.
status=""
for _ in $(seq 1 600); do
  sleep 0.5
  report=$(drive report --hwnd "$hwnd") || continue
  status=$(python3 -c '
import json, sys
r = json.load(sys.stdin)
c = {x["id"]: x for x in r["children"]}
done = c[1002]["enabled"] and not c[1003]["enabled"] and c[1005]["rows"]
print(("done " if done else "busy ") + c[1008]["statusText"])' <<<"$report")
  [[ $status == done* ]] && break
done
echo "Status bar: ${status#* }"
# A folder of the tree opened and selected, so all three lists show rows.
drive list-click --hwnd "$hwnd" --id 1005 --row 1 --double >/dev/null || true
sleep 1.5  # the last paint
/usr/bin/import -display ":$(head -n 1 "$OMBRIX_WINEPREFIX.display")" -window root "$shot"
drive close --hwnd "$hwnd" >/dev/null
wait
echo "Ombrix scanned $repo and was closed again. What its window looked like: $shot"
