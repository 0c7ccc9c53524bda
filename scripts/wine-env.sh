# Sourced by the Wine scripts: the build's private prefix and the one way it
# is created. Expects OMBRIX_WINEPREFIX.
: "${OMBRIX_WINEPREFIX:?OMBRIX_WINEPREFIX must name the private Wine prefix}"
export WINEPREFIX="$OMBRIX_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs: nothing here needs .NET or a browser.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

wine=/usr/lib/wine/wine64
[[ -x "$wine" ]] || wine=$(command -v wine64 || command -v wine)
wineserver=$(dirname "$wine")/wineserver
[[ -x "$wineserver" ]] || wineserver=$(command -v wineserver)

# Creates the prefix once, under a lock, because ctest starts several
# programs at the same time; waits until wineboot's own processes are gone.
ensure_wine_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/.ombrix-ready" ]]; then
      # Wine finds a prefix's server by the folder's device and inode. A
      # folder made anew can get the inode of a deleted prefix whose server
      # still lingers; its clients would talk to that server and be dropped
      # when it ends. A prefix that is not set up yet has no server of its
      # own, so whatever answers for it goes.
      mkdir -p "$WINEPREFIX"
      "$wineserver" -k >/dev/null 2>&1 || true
      "$wine" wineboot -i >/dev/null 2>&1 || true
      "$wineserver" -w || true
      touch "$WINEPREFIX/.ombrix-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# A prefix started by wine-server.sh has a virtual X server of its own
# (Xvfb), so window tests run headless and never on the developer's screen.
# Its display number and process id sit beside the prefix while it runs.
prefix_display_file="$WINEPREFIX.display"
prefix_xvfb_pid_file="$WINEPREFIX.xvfb-pid"

use_prefix_display() {
  local pid
  pid=$(cat "$prefix_xvfb_pid_file" 2>/dev/null || true)
  if [[ -n "$pid" && -s "$prefix_display_file" ]] && kill -0 "$pid" 2>/dev/null; then
    export DISPLAY=":$(head -n 1 "$prefix_display_file")"
  fi
}
