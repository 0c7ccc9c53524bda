#!/usr/bin/env bash
# Runs every benchmark driver bench/bench_*.sh with $BUILD set to the build
# folder root; a failing driver is reported and the others still run.
set -uo pipefail
: "${BUILD:?set BUILD to the build folder root}"
here=$(cd "$(dirname "$0")" && pwd)
status=0
for driver in "$here"/bench_*.sh; do
  [ -e "$driver" ] || continue
  echo "### $(basename "$driver")"
  BUILD=$BUILD bash "$driver" || { echo "### $(basename "$driver") failed"; status=1; }
done
exit $status
