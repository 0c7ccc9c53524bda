#!/usr/bin/env bash
# wine-server.sh start|stop [SESSION_EXE]: keeps one Wine server, and one
# Wine desktop, alive for a whole test run.
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
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
linger=${OMBRIX_WINESERVER_LINGER:-600}

case "${1:-}" in
  start)
    ensure_wine_prefix
    # The server detaches by itself; its output must not hold ctest's pipe.
    "$wineserver" -p"$linger" </dev/null >/dev/null 2>&1 || true
    if [[ -n "${2:-}" ]]; then
      ready=$(mktemp -u "${TMPDIR:-/tmp}/ombrix-wine-session.XXXXXX")
      nohup "$wine" "$2" "Z:${ready//\//\\}" </dev/null >/dev/null 2>&1 &
      for _ in $(seq 1 2400); do
        [[ -f "$ready" ]] && break
        sleep 0.2
      done
      [[ -f "$ready" ]] || { echo "wine-server: the session did not start" >&2; exit 1; }
      rm -f "$ready"
    else
      # One client round trip proves the server answers before tests start.
      timeout 120 "$wine" cmd /c exit 0 </dev/null >/dev/null 2>&1
    fi
    ;;
  stop)
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    ;;
  *)
    echo "usage: wine-server.sh start|stop [SESSION_EXE]" >&2
    exit 2
    ;;
esac
