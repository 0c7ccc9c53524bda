#!/usr/bin/env bash
# `make dist`: the portable zip of the Windows build.
#   scripts/make-dist.sh WINDOWS_BUILD_DIR [OUTPUT_ZIP]
# The zip holds one folder, Ombrix\, with ombrix.exe, ombrix-scan.exe,
# resources\strings\*.txt (read beside the executable), LICENSE.txt,
# README.txt and the licences of the libraries built in (ZSTD-LICENSE.txt).
# No portable marker: settings go to the per-user folder unless
# the user adds ombrix.portable. Prints the zip's path.
set -euo pipefail
build=$(cd "${1:?usage: make-dist.sh WINDOWS_BUILD_DIR [OUTPUT_ZIP]}" && pwd)
source=$(cd "$(dirname "$0")/.." && pwd)
zip_path=${2:-$build/dist/ombrix-win64.zip}
mkdir -p "$(dirname "$zip_path")"
zip_path=$(cd "$(dirname "$zip_path")" && pwd)/$(basename "$zip_path")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
app=$stage/Ombrix
mkdir -p "$app/resources/strings"
cp "$build/ui/ombrix.exe" "$build/tools/ombrix-scan.exe" "$app/"
# Debug information stays in the build; the zip carries what runs.
x86_64-w64-mingw32-strip "$app/ombrix.exe" "$app/ombrix-scan.exe"
cp "$build/ui/resources/strings/"*.txt "$app/resources/strings/"
# Windows line ends in the texts a user opens with Notepad.
sed 's/$/\r/' "$source/resources/dist/README.txt" >"$app/README.txt"
sed 's/$/\r/' "$source/resources/dist/LICENSE.txt" >"$app/LICENSE.txt"
sed 's/$/\r/' "${OMBRIX_DEPS_DIR:-$build/../deps}/zstd/LICENSE" >"$app/ZSTD-LICENSE.txt"
rm -f "$zip_path"
(cd "$stage" && TZ=UTC zip -q -X -r "$zip_path" Ombrix)
echo "$zip_path"
