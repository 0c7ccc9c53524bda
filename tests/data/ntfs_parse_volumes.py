"""The NTFS volumes the MFT record decoder is checked on: small images made
by mkntfs and ntfs-3g, and the two Windows-made images from the shared test
data (unpacked when present). Usage: ntfs_parse_volumes.py OUTDIR"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ntfs_image  # noqa: E402

LONG_NAME = "A very long file name that goes on well beyond the eight dot three limit.document"
MANY_LINKS = 120

# Names, aliases, links, streams and sizes a real user volume holds.
BASIC = [
    ("mkdir", "Docs/Sub dir"),
    ("mkdir", "Other"),
    ("mkdir", "Ünïcödé 目录/inner"),
    ("write", "Docs/empty.txt", 0),
    ("write", "Docs/resident.txt", 300),
    ("write", "Docs/" + LONG_NAME, 20000),
    ("dosname", "Docs/" + LONG_NAME, "AVERYL~1.DOC"),
    ("write", "Docs/Sub dir/日本語のファイル名.txt", 1234),
    ("write", "Docs/emoji 😀 name.bin", 70000),
    ("write", "Docs/with stream.txt", 100),
    ("stream", "Docs/with stream.txt", "extra", 5000),
    ("stream", "Docs/Sub dir", "folder stream", 10),
    ("write", "Docs/linked.dat", 4000),
    ("link", "Docs/linked.dat", "Other/link in other folder.dat"),
    ("write", "Other/SHORT.TXT", 10),
    ("write", "Ünïcödé 目录/inner/Größe.txt", 5),
    ("write", "Other/to delete.txt", 3000),
    ("remove", "Other/to delete.txt"),
    ("mkdir", "Many"),
    ("mkdir", "Many too"),
    ("write", "Many/target.bin", 9000),
] + [
    # So many long names that they no longer fit the base record: ntfs-3g
    # moves them into extension records behind an $ATTRIBUTE_LIST.
    ("link", "Many/target.bin",
     "%s/hard link number %03d with a long name so the record overflows.bin"
     % ("Many" if i % 2 else "Many too", i))
    for i in range(MANY_LINKS)
] + [
    # Growing the file afterwards leaves the $FILE_NAME sizes in the
    # extension records stale: only the $DATA in the base record is right.
    ("append", "Many/target.bin", 300000),
]

# 4096-byte sectors make mkntfs write 4096-byte records.
LARGE_SECTORS = [
    ("mkdir", "Folder"),
    ("write", "Folder/" + LONG_NAME, 3000),
    ("dosname", "Folder/" + LONG_NAME, "AVERYL~1.DOC"),
    ("write", "Folder/small.txt", 12),
    ("link", "Folder/small.txt", "small link.txt"),
    ("write", "big.bin", 100000),
]

WINDOWS_IMAGES = {
    "winxp_dftt7": "winxp_dftt7_ntfs_undel.dd.gz",
    "win7_tiny": "win7_logfileparser_tiny_partition.dd.gz",
}


def main():
    out_dir = os.path.join(sys.argv[1], "ntfs")
    ntfs_image.build_image(out_dir, "parse_basic", BASIC, size_mb=16)
    ntfs_image.build_image(out_dir, "parse_4k_sectors", LARGE_SECTORS, size_mb=16,
                           mkntfs_args=["-s", "4096"])
    here = os.path.dirname(os.path.abspath(__file__))
    shared = os.path.normpath(os.path.join(here, "..", "..", "..", "shared", "testdata", "ntfs"))
    for name, file_name in WINDOWS_IMAGES.items():
        source = os.path.join(shared, file_name)
        if os.path.exists(source):
            ntfs_image.unpack_gzip_image(source, out_dir, name)


if __name__ == "__main__":
    main()
