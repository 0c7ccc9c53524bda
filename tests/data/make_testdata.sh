#!/usr/bin/env bash
# Builds every test data set into OUTDIR by running each tests/data/build_*
# script (shell or Python) with OUTDIR as its argument. Each builder is
# idempotent: it leaves a stamp and does nothing when its data is current.
# A lock keeps two test runs from building the same data at once.
set -euo pipefail
out=${1:?usage: make_testdata.sh OUTDIR}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
exec 9>"$out/.lock"
flock 9
shopt -s nullglob
for builder in "$here"/build_*.sh "$here"/build_*.py; do
  case "$builder" in
    *.py) python3 "$builder" "$out" ;;
    *) bash "$builder" "$out" ;;
  esac
done
