#!/usr/bin/env bash
# wine-server.sh start|stop [SESSION_EXE]: keeps one Wine server, one Wine
# desktop and one display alive for a whole test run.
#
# Left to itself, the server of a fresh prefix exits a few seconds after its
# last client; ctest starts short test programs two at a time, and a program
# that connects while the server is going away is dropped ("wine client
# error: recvmsg: Connection reset by peer") and fails without having run.
# The desktop process comes and goes the same way, and a window created
# while it restarts is not created at all. A persistent server removes the
# first window of failure; SESSION_EXE (tests/support/wine_session_win.cpp),
# a program holding a window until the run ends, removes the second.
# Both end by themselves LINGER seconds after the last client (the session
# after an hour), so a run that never reached "stop" leaves nothing behind
# for long.
#
# Windows are drawn somewhere: "start" also starts a virtual X server for
# the prefix (screen OMBRIX_XVFB_SCREEN, default 1280x1024x24), and
# wine-run.sh points the prefix's programs at it, so window tests run
# headless and never on the developer's screen. A watcher ends the X server
# when the Wine server ends, whichever way that happens.
#
# OMBRIX_SESSION_WAIT_TICKS (default 750) bounds the wait for the session
# program, in steps of 0.2 s; a tiny value exercises the failure path.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
linger=${OMBRIX_WINESERVER_LINGER:-600}
screen=${OMBRIX_XVFB_SCREEN:-1280x1024x24}

stop_server() {
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  local pid
  pid=$(cat "$prefix_xvfb_pid_file" 2>/dev/null || true)
  if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
  fi
  rm -f "$prefix_display_file" "$prefix_xvfb_pid_file"
}

start_display() {
  local pending="$prefix_display_file.pending"
  rm -f "$pending"
  # Xvfb picks a free display number and writes it to descriptor 3.
  setsid Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$pending" \
    </dev/null >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 100); do
    [[ -s "$pending" ]] && break
    sleep 0.1
  done
  if [[ ! -s "$pending" ]]; then
    kill "$pid" 2>/dev/null || true
    echo "wine-server.sh: Xvfb did not start" >&2
    exit 1
  fi
  echo "$pid" >"$prefix_xvfb_pid_file"
  mv "$pending" "$prefix_display_file"
}

case "${1:-}" in
  start)
    ensure_wine_prefix
    # Rarely, on a loaded machine with several fresh prefixes booting at
    # once, the session program never comes up. It normally reports within
    # seconds, so after a bounded wait everything is stopped and started
    # once more; its messages are kept beside the prefix for a post-mortem.
    started=no
    for attempt in 1 2; do
      # A server left from an earlier run (or attempt) would keep its display.
      stop_server
      start_display
      use_prefix_display
      # The server detaches by itself; its output must not hold ctest's pipe.
      "$wineserver" -p"$linger" </dev/null >/dev/null 2>&1 || true
      if [[ -n "${2:-}" ]]; then
        ready=$(mktemp -u "${TMPDIR:-/tmp}/ombrix-wine-session.XXXXXX")
        nohup "$wine" "$2" "Z:${ready//\//\\}" </dev/null >/dev/null \
          2>"$WINEPREFIX.session-$attempt.log" &
        for _ in $(seq 1 "${OMBRIX_SESSION_WAIT_TICKS:-750}"); do
          [[ -f "$ready" ]] && break
          sleep 0.2
        done
        if [[ -f "$ready" ]]; then
          rm -f "$ready"
          started=yes
          break
        fi
        echo "wine-server: the session did not start (attempt $attempt);" \
          "its messages: $WINEPREFIX.session-$attempt.log" >&2
      else
        # One client round trip proves the server answers before tests start.
        timeout 120 "$wine" cmd /c exit 0 </dev/null >/dev/null 2>&1
        started=yes
        break
      fi
    done
    if [[ "$started" != yes ]]; then
      stop_server
      exit 1
    fi
    xvfb_pid=$(cat "$prefix_xvfb_pid_file")
    setsid bash -c '"$1" -w; kill "$2" 2>/dev/null' watcher "$wineserver" "$xvfb_pid" \
      </dev/null >/dev/null 2>&1 &
    ;;
  stop)
    stop_server
    ;;
  *)
    echo "usage: wine-server.sh start|stop [SESSION_EXE]" >&2
    exit 2
    ;;
esac
