#!/usr/bin/env bash
# wine-server.sh start|stop: keeps one Wine server alive for a whole test
# run. Left to itself, the server of a fresh prefix exits a few seconds
# after its last client; ctest starts short test programs two at a time,
# and a program that connects while the server is going away is dropped
# ("wine client error: recvmsg: Connection reset by peer") and fails
# without having run. A persistent server removes that window. It still
# ends by itself LINGER seconds after its last client, so a run that never
# reached "stop" leaves nothing behind for long.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
linger=${OMBRIX_WINESERVER_LINGER:-600}

case "${1:-}" in
  start)
    ensure_wine_prefix
    # The server detaches by itself; its output must not hold ctest's pipe.
    "$wineserver" -p"$linger" </dev/null >/dev/null 2>&1 || true
    # One client round trip proves the server answers before tests start.
    timeout 120 "$wine" cmd /c exit 0 </dev/null >/dev/null 2>&1
    ;;
  stop)
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w 2>/dev/null || true
    ;;
  *)
    echo "usage: wine-server.sh start|stop" >&2
    exit 2
    ;;
esac
