#!/usr/bin/env python3
"""NTFS volumes the whole MFT engine is checked on, each with The Sleuth
Kit's listing beside it (see ntfs_image.extract_oracle), in OUTDIR/ntfs:

  engine_tree        a deep folder chain, a folder of thousands of files,
                     hard links in two folders, alternate data streams,
                     non-ASCII and 255-character names, a file whose names
                     overflow into extension records, a folder to scan as a
                     sub-folder root
  engine_fragmented  the volume filled with other data, every second filler
                     removed, then the MFT grown into the holes: $MFT's data
                     stream in many runs
  engine_large_mft   about 12,000 files: an MFT of more than one 8 MiB chunk,
                     so workers decode part of it

engine_tree's user-visible tree is also copied out through a read-only
mount to OUTDIR/ntfs/engine_tree.copy, so the directory engines can scan the
same files the MFT engine reads from the image. Alternate data streams do
not come along, which is right: engines count only the unnamed stream.

Usage: build_ntfs_engine_images.py OUTDIR
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ntfs_image  # noqa: E402

VERSION = "2"
DEEP_LEVELS = 120
WIDE_FILES = 3000
LARGE_FOLDERS = 60
LARGE_FILES_PER_FOLDER = 200


def pattern(length):
    unit = b"ombrix engine image "
    return (unit * (length // len(unit) + 1))[:length]


def write(path, length):
    with open(path, "wb") as f:
        f.write(pattern(length))


def populate_tree(root):
    deep = os.path.join(root, "deep")
    path = deep
    for level in range(DEEP_LEVELS):
        path = os.path.join(path, "level%03d" % level)
    os.makedirs(path)
    write(os.path.join(path, "bottom.txt"), 4321)
    write(os.path.join(deep, "level000", "level001", "middle.bin"), 70000)

    wide = os.path.join(root, "wide")
    os.makedirs(wide)
    for i in range(WIDE_FILES):
        # Sizes from empty through resident to a few clusters.
        write(os.path.join(wide, "file %05d with a longer name.dat" % i), (i * 37) % 9000)

    links = os.path.join(root, "links")
    os.makedirs(os.path.join(links, "one"))
    os.makedirs(os.path.join(links, "two"))
    write(os.path.join(links, "one", "shared.bin"), 123456)
    os.link(os.path.join(links, "one", "shared.bin"), os.path.join(links, "two", "also shared.bin"))
    os.link(os.path.join(links, "one", "shared.bin"), os.path.join(links, "one", "same folder.bin"))

    streams = os.path.join(root, "streams")
    os.makedirs(streams)
    write(os.path.join(streams, "with streams.txt"), 50)
    for name, length in (("small", 10), ("large", 300000)):
        with open(os.path.join(streams, "with streams.txt") + ":" + name, "wb") as f:
            f.write(pattern(length))
    write(os.path.join(streams, "only stream.txt"), 0)
    with open(os.path.join(streams, "only stream.txt") + ":data", "wb") as f:
        f.write(pattern(4000))

    names = os.path.join(root, "Ünïcödé names ☃")
    os.makedirs(names)
    write(os.path.join(names, "日本語のファイル名.txt"), 333)
    write(os.path.join(names, "emoji 😀 file.bin"), 5000)
    write(os.path.join(names, "Ελληνικά και Кириллица.doc"), 77)
    write(os.path.join(names, "x" * 251 + ".txt"), 1)  # 255 characters, the limit
    os.makedirs(os.path.join(names, "L" * 255))
    write(os.path.join(names, "L" * 255, "in a long folder"), 2)

    many = os.path.join(root, "many links")
    os.makedirs(many)
    write(os.path.join(many, "target.bin"), 9000)
    for i in range(100):
        os.link(os.path.join(many, "target.bin"),
                os.path.join(many, "hard link %03d with a name long enough to overflow.bin" % i))

    case = os.path.join(root, "Case Folder", "Inner")
    os.makedirs(case)
    write(os.path.join(case, "a.txt"), 11)
    write(os.path.join(root, "Case Folder", "b.txt"), 22)
    os.makedirs(os.path.join(root, "empty folder"))
    write(os.path.join(root, "root file.txt"), 1000)


def populate_fragmented(root):
    fillers = []
    chunk = pattern(64 * 1024)
    try:
        while True:
            path = os.path.join(root, "filler%04d" % len(fillers))
            with open(path, "wb") as f:
                f.write(chunk)
            fillers.append(path)
    except OSError:
        pass  # the volume is full
    for path in fillers[::2]:
        os.remove(path)
    grow = os.path.join(root, "grown")
    os.makedirs(grow)
    for i in range(2500):
        write(os.path.join(grow, "g%04d.txt" % i), i % 700)


def populate_large(root):
    for folder in range(LARGE_FOLDERS):
        path = os.path.join(root, "folder %02d" % folder, "sub")
        os.makedirs(path)
        for i in range(LARGE_FILES_PER_FOLDER):
            write(os.path.join(path, "f%03d" % i), (folder * 31 + i) % 600)


def populate_space(root):
    """Files whose size on disk is not their size: sparse, hard-linked in
    two folders, resident, with an alternate stream, compressed."""
    with open(os.path.join(root, "sparse.bin"), "wb") as f:
        f.truncate(1 << 30)
        f.write(pattern(1 << 20))
    for folder in ("one", "two"):
        os.makedirs(os.path.join(root, folder))
    write(os.path.join(root, "one", "linked.bin"), 20000)
    os.link(os.path.join(root, "one", "linked.bin"), os.path.join(root, "two", "linked too.bin"))
    write(os.path.join(root, "resident.txt"), 100)
    write(os.path.join(root, "with stream.txt"), 5000)
    write(os.path.join(root, "with stream.txt") + ":side", 70000)
    packed = os.path.join(root, "packed")
    os.makedirs(packed)
    # The folder's compressed attribute: files made in it are compressed.
    attributes = int.from_bytes(os.getxattr(packed, "system.ntfs_attrib_be"), "big")
    os.setxattr(packed, "system.ntfs_attrib_be", (attributes | 0x800).to_bytes(4, "big"))
    write(os.path.join(packed, "text.txt"), 380000)


COPIED_IMAGES = ("engine_tree",)


def copy_out(image, copy):
    """Copies the volume's tree (without its metadata files, which a mount
    does not show) to copy, through a read-only mount that is always
    unmounted again."""
    if os.path.exists(copy):
        shutil.rmtree(copy)
    mount_point = tempfile.mkdtemp(prefix="ombrix-ntfs-copy-")
    try:
        ntfs_image._run(["ntfs-3g", "-o", "ro", image, mount_point])
        try:
            os.makedirs(copy)
            ntfs_image._run(["cp", "-a", mount_point + "/.", copy])
        finally:
            subprocess.run(["fusermount", "-u", mount_point])
    finally:
        os.rmdir(mount_point)


# The sparse file's gigabyte needs a volume that large (The Sleuth Kit
# rejects a run longer than its volume); the image file itself stays sparse.
IMAGES = {
    "space_cases": (populate_space, 1100),
    "engine_tree": (populate_tree, 32),
    "engine_fragmented": (populate_fragmented, 24),
    "engine_large_mft": (populate_large, 48),
}


def build(out_dir, name, populate, size_mb):
    image = os.path.join(out_dir, name + ".img")
    stamp_path = os.path.join(out_dir, name + ".stamp")
    digest = hashlib.sha256(VERSION.encode())
    for source in (__file__, ntfs_image.__file__):
        with open(source, "rb") as f:
            digest.update(f.read())
    digest.update(("%s %d" % (name, size_mb)).encode())
    stamp = digest.hexdigest()
    copy = os.path.join(out_dir, name + ".copy") if name in COPIED_IMAGES else None
    if ntfs_image.is_current(stamp_path, stamp) and (copy is None or os.path.isdir(copy)):
        return
    if os.path.exists(stamp_path):
        os.remove(stamp_path)
    with open(image, "wb") as f:
        f.truncate(size_mb * 1024 * 1024)
    ntfs_image._run(["mkntfs", "-F", "-Q", "-q", "-p", "0", "-H", "0", "-S", "0", image],
                    stderr=open(os.devnull, "wb"))
    with ntfs_image.mounted(image, "streams_interface=windows,compression") as root:
        populate(root)
    ntfs_image.extract_oracle(image, os.path.join(out_dir, name))
    if copy is not None:
        copy_out(image, copy)
    with open(stamp_path, "w") as f:
        f.write(stamp)


def main():
    out_dir = os.path.join(sys.argv[1], "ntfs")
    os.makedirs(out_dir, exist_ok=True)
    for name, (populate, size_mb) in IMAGES.items():
        build(out_dir, name, populate, size_mb)


if __name__ == "__main__":
    main()
