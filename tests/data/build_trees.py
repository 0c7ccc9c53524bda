#!/usr/bin/env python3
"""Builds the directory trees the scan tests read, under OUTDIR/trees, each
with OUTDIR/trees/<name>.listing (see tree_maker.write_listing):

  basic    nested folders, empty folders, empty and sized files, non-ASCII,
           long and space-holding names, a symbolic link to a folder of the
           tree and one to an ancestor of the link (a loop if followed)
  wide300  300 files in one folder
  wide5000 5,000 entries with long names in one folder (several 64 KiB
           directory batches)
  big      100,000 files in 5,000 folders
  deep     a chain of 2,010 folders; its location is in OUTDIR/trees/deep.path.
           It lies outside the build folder, in the system's temporary
           folder: its full path must stay below Linux's 4,096-byte limit,
           which a long build folder path would exceed, and under Wine
           every step down such a chain costs a walk of the whole path, so
           a scan of the repository (what `make run` shows a newcomer) would
           spend two minutes in it
"""
import hashlib
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tree_maker  # noqa: E402

VERSION = "4"
DEEP_DEPTH = 2010


def build_basic(root):
    tree_maker.fresh(root)
    os.makedirs(root)
    layout = {
        "a/f10.bin": 10,
        "a/f20.bin": 20,
        "a/b/f5.bin": 5,
        "a/b/c/empty.txt": 0,
        "caf\u00e9/\u4e2d\u6587.txt": 1234,
        "caf\u00e9/\U0001F600 smile.txt": 77,
        "with space/file name with spaces.txt": 3,
        ("L" * 200) + "/" + ("n" * 180) + ".dat": 4096,
        "big/sparse.bin": 5 * 1024 * 1024 * 1024,
        "top.txt": 1,
    }
    for rel, size in layout.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        tree_maker.make_file(path, size)
    for empty in ("empty", "a/b/c/empty_too", "caf\u00e9/leer"):
        os.makedirs(os.path.join(root, empty), exist_ok=True)
    # Relative targets, so the links stay right wherever the tree lies.
    os.makedirs(os.path.join(root, "links"))
    os.symlink("../a", os.path.join(root, "links", "to a"))
    os.symlink("..", os.path.join(root, "a", "b", "back to a"))


def build_wide(root, count, name_length):
    tree_maker.fresh(root)
    os.makedirs(root)
    for i in range(count):
        stem = "f%05d_" % i
        name = stem + "x" * max(0, name_length - len(stem) - 4) + ".txt"
        tree_maker.make_file(os.path.join(root, name), i % 1000)


def deep_location(outdir):
    tag = hashlib.sha1(outdir.encode()).hexdigest()[:8]
    return "/tmp/ombrix-deep-" + tag


def main():
    outdir = os.path.abspath(sys.argv[1])
    trees = os.path.join(outdir, "trees")
    stamp = os.path.join(trees, ".stamp")
    if os.path.exists(stamp) and open(stamp).read() == VERSION:
        return
    os.makedirs(trees, exist_ok=True)
    builders = {
        "basic": build_basic,
        "wide300": lambda r: build_wide(r, 300, 12),
        "wide5000": lambda r: build_wide(r, 5000, 120),
        "big": lambda r: (tree_maker.fresh(r),
                          tree_maker.make_random_tree(r, 100000, 5000, seed=7)),
    }
    for name, build in builders.items():
        root = os.path.join(trees, name)
        build(root)
        tree_maker.write_listing(root, root + ".listing")

    tree_maker.fresh(os.path.join(trees, "deep"))  # where earlier versions made it
    deep = deep_location(outdir)
    tree_maker.fresh(deep)
    tree_maker.make_deep_chain(deep, DEEP_DEPTH)
    with open(os.path.join(trees, "deep.path"), "w") as f:
        f.write(deep)

    with open(stamp, "w") as f:
        f.write(VERSION)


if __name__ == "__main__":
    main()
