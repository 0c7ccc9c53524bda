#!/usr/bin/env bash
# `make run` (BUILD = the build folder root). The Ombrix window does not
# exist yet, so this runs the console tool under Wine on a default folder
# and prints its readable summary.
set -euo pipefail
: "${BUILD:?BUILD must name the build folder root}"
exe=$BUILD/windows/tools/ombrix-scan.exe
runner=$BUILD/windows/wine-run
folder=${OMBRIX_RUN_FOLDER:-'C:\windows'}
echo "The Ombrix window does not exist yet; running ombrix-scan under Wine on $folder instead."
echo
exec "$runner" "$exe" --top 30 "$folder"
