#!/usr/bin/env bash
# Runs a Windows executable under Wine with the build's private prefix.
# Used as CMake's cross-compiling emulator, so the program's exit code must
# come back unchanged. The prefix is created once, under a lock, because
# ctest starts several tests at the same time.
set -euo pipefail

: "${OMBRIX_WINEPREFIX:?OMBRIX_WINEPREFIX must name the private Wine prefix}"
export WINEPREFIX="$OMBRIX_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs: nothing here needs .NET or a browser.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

wine=/usr/lib/wine/wine64
[[ -x "$wine" ]] || wine=$(command -v wine64 || command -v wine)

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [[ ! -f "$WINEPREFIX/.ombrix-ready" ]]; then
    "$wine" wineboot -i >/dev/null 2>&1 || true
    wineserver=$(dirname "$wine")/wineserver
    [[ -x "$wineserver" ]] && "$wineserver" -w || true
    touch "$WINEPREFIX/.ombrix-ready"
  fi
) 9>"$WINEPREFIX.lock"

exec "$wine" "$@"
