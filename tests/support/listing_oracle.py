"""The independent side of every check that scans a real directory tree.

A listing (tests/data/tree_maker.write_listing) has one line per entry below
a tree's root, 'rel/path<TAB>kind<TAB>size', made with os.walk on the Linux
side; kind is d (folder), f (file) or l (symbolic link to a folder, which
every engine shows as an empty folder with the reparse-point attribute).
From a listing this module makes the nodes a scan of the tree must report
(see expected_tree), whichever engine scans it.
"""
from collections import namedtuple

import expected_tree

Entry = namedtuple("Entry", "kind size")


def read_listing(path):
    """{relative path with '/': Entry}"""
    entries = {}
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        for line in f:
            line = line.rstrip("\n")
            if line:
                rel, kind, size = line.rsplit("\t", 2)
                entries[rel] = Entry(kind, int(size))
    return entries


def tree_nodes(root_path, entries):
    """{tool path: expected_tree.Node} of a scan of one tree whose root the
    tool sees as root_path."""
    kinds = {root_path: (True, 0, False)}
    for rel, entry in entries.items():
        kinds[expected_tree.join(root_path, rel.replace("/", "\\"))] = (
            entry.kind != "f", entry.size if entry.kind == "f" else 0, entry.kind == "l")
    return expected_tree.with_totals(kinds, root_path)
