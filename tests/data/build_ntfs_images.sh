#!/usr/bin/env bash
# NTFS volume images with The Sleuth Kit's listing of each, in OUTDIR/ntfs.
# The volumes themselves are described in ntfs_parse_volumes.py; the
# machinery (mkntfs, ntfs-3g mount, oracle extraction) is ntfs_image.py,
# which other image sets reuse.
set -euo pipefail
out=${1:?usage: build_ntfs_images.sh OUTDIR}
here=$(cd "$(dirname "$0")" && pwd)
python3 "$here/ntfs_parse_volumes.py" "$out"
