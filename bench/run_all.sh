#!/usr/bin/env bash
# `make bench`: runs every bench/bench_*.sh driver with BUILD (the build
# folder root) set. Each driver prints its own figures; a failing driver
# does not stop the others but makes the run fail.
set -uo pipefail
: "${BUILD:?BUILD must name the build folder root}"
export BUILD
here=$(cd "$(dirname "$0")" && pwd)
status=0
shopt -s nullglob
for driver in "$here"/bench_*.sh; do
  echo "== $(basename "$driver")"
  if ! bash "$driver"; then
    echo "FAILED: $(basename "$driver")"
    status=1
  fi
done
exit $status
