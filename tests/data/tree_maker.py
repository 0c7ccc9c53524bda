#!/usr/bin/env python3
"""Makes directory trees on the Linux side for scans under Wine (Z: drive).

Files are created sparse (truncate), so their logical sizes cost no disk
space: every engine reports logical sizes. Used by build_trees.py for the
test trees and by the benchmarks for the big ones:

    tree_maker.py random ROOT --files N --folders M [--seed S]
"""
import argparse
import os
import random
import subprocess


def make_file(path, size):
    with open(path, "wb") as f:
        if size:
            f.truncate(size)


def make_random_tree(root, files, folders, seed=1, max_depth=8):
    """A realistic shape: folders hang under random earlier folders (depth
    capped), files spread over all folders with a skewed size mix."""
    rng = random.Random(seed)
    os.makedirs(root, exist_ok=True)
    dirs = [(root, 0)]
    for i in range(folders):
        parent, depth = dirs[rng.randrange(len(dirs))]
        if depth >= max_depth:
            parent, depth = root, 0
        path = os.path.join(parent, "dir%05d" % i)
        os.mkdir(path)
        dirs.append((path, depth + 1))
    for i in range(files):
        parent, _ = dirs[rng.randrange(len(dirs))]
        roll = rng.random()
        if roll < 0.05:
            size = 0
        elif roll < 0.85:
            size = rng.randrange(1, 64 * 1024)
        elif roll < 0.99:
            size = rng.randrange(64 * 1024, 8 * 1024 * 1024)
        else:
            size = rng.randrange(8 * 1024 * 1024, 3 * 1024 * 1024 * 1024)
        make_file(os.path.join(parent, "file%06d.dat" % i), size)


def make_deep_chain(root, depth):
    """depth nested one-letter folders with a file at the bottom. Walks with
    dir fds, since the full path may be near the platform's path limit."""
    os.makedirs(root, exist_ok=True)
    fd = os.open(root, os.O_RDONLY)
    try:
        for _ in range(depth):
            os.mkdir("d", dir_fd=fd)
            child = os.open("d", os.O_RDONLY, dir_fd=fd)
            os.close(fd)
            fd = child
        leaf = os.open("leaf.txt", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd)
        os.write(leaf, b"bottom")
        os.close(leaf)
    finally:
        os.close(fd)


def write_listing(root, listing_path):
    """The independent count: one line per entry below root, as
    'relative/path<TAB>kind<TAB>size', sorted, from os.walk and lstat. The
    kind is d (folder), f (file) or l (symbolic link to a folder: Windows
    sees a folder with the reparse-point attribute, which no engine enters,
    so it is listed as an empty folder and os.walk does not follow it)."""
    lines = []
    for dirpath, dirnames, filenames in os.walk(root):
        rel_dir = os.path.relpath(dirpath, root)
        for name in dirnames:
            rel = os.path.normpath(os.path.join(rel_dir, name))
            kind = "l" if os.path.islink(os.path.join(dirpath, name)) else "d"
            lines.append("%s\t%s\t0" % (rel, kind))
        for name in filenames:
            rel = os.path.normpath(os.path.join(rel_dir, name))
            size = os.lstat(os.path.join(dirpath, name)).st_size
            lines.append("%s\tf\t%d" % (rel, size))
    lines.sort()
    tmp = listing_path + ".tmp"
    with open(tmp, "w", encoding="utf-8", errors="surrogateescape") as f:
        f.write("\n".join(lines) + ("\n" if lines else ""))
    os.replace(tmp, listing_path)


def fresh(root):
    # rm, not shutil.rmtree: the deep chain is thousands of levels deep and
    # rmtree recurses once per level, past Python's recursion limit.
    if os.path.lexists(root):
        subprocess.run(["rm", "-rf", "--", root], check=True)


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="command", required=True)
    rnd = sub.add_parser("random")
    rnd.add_argument("root")
    rnd.add_argument("--files", type=int, required=True)
    rnd.add_argument("--folders", type=int, required=True)
    rnd.add_argument("--seed", type=int, default=1)
    rnd.add_argument("--listing")
    args = parser.parse_args()
    fresh(args.root)
    make_random_tree(args.root, args.files, args.folders, args.seed)
    if args.listing:
        write_listing(args.root, args.listing)


if __name__ == "__main__":
    main()
