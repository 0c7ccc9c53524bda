#!/usr/bin/env bash
# Record decoding speed on a real $MFT of over 100,000 records, single
# thread, from memory: wall-clock rates from mft_parse_bench and the
# instructions per record counted by callgrind (stable on a busy machine),
# with the functions the instructions go to.
# The volume (mkntfs + ntfs-3g, ~2 minutes to make) is cached in
# $BUILD/bench-data.
set -euo pipefail
: "${BUILD:?set BUILD to the build folder root}"
here=$(cd "$(dirname "$0")" && pwd)
bench=$BUILD/native/bench/mft_parse_bench
data=$BUILD/bench-data
[ -x "$bench" ] || { echo "bench_mft_parse: $bench missing (make native)"; exit 1; }

python3 - "$here/../tests/data" "$data" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
import ntfs_image

# 101 folders of 1,000 files with names of everyday length; every tenth file
# holds a little data, every hundredth enough to go non-resident, and a few
# carry hard links and 8.3 aliases, like a user's documents folder.
steps = []
for folder in range(101):
    base = "Projects %03d/Quarterly reports" % folder
    steps.append(("mkdir", base))
    for i in range(1000):
        path = "%s/Report %03d-%04d final version.docx" % (base, folder, i)
        size = 3000 if i % 100 == 0 else (120 if i % 10 == 0 else 0)
        steps.append(("write", path, size))
        if i % 250 == 1:
            steps.append(("link", path, "%s/Copy of report %04d.docx" % (base, i)))
ntfs_image.build_image(sys.argv[2], "mft_parse_100k", steps, size_mb=1024, listings=False)
PY

mft=$data/mft_parse_100k.mft
record_size=$(sed -n 's/^record_size=//p' "$data/mft_parse_100k.volume.txt")
sector_size=$(sed -n 's/^sector_size=//p' "$data/mft_parse_100k.volume.txt")
echo "== MFT record decoding: $(($(stat -c %s "$mft") / record_size)) records of $record_size bytes, one thread"
"$bench" "$mft" "$record_size" "$sector_size" 15

if command -v valgrind >/dev/null; then
  out=$(mktemp)
  valgrind --tool=callgrind --toggle-collect='*DecodeAllRecords*' --callgrind-out-file="$out" \
    "$bench" "$mft" "$record_size" "$sector_size" 1 >/dev/null 2>&1
  records=$(($(stat -c %s "$mft") / record_size))
  total=$(sed -n 's/^totals: *//p;s/^summary: *//p' "$out" | head -1 | awk '{print $1}')
  echo "callgrind: $total instructions in the decode loop, $((total / records)) per record"
  callgrind_annotate --inclusive=no "$out" 2>/dev/null | grep -E '^ *[0-9,]+ ' | head -8 | sed 's/^/  /'
  rm -f "$out"
fi
