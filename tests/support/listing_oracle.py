"""The independent side of the whole-program scan checks.

A listing (tests/data/tree_maker.write_listing) has one line per entry below
a tree's root, 'rel/path<TAB>d|f<TAB>size', made with os.walk on the Linux
side. From it this module computes what any engine must report for the
tree (totals of the root and of every folder) and compares a scan's JSON
report (ombrix-scan --json --tree) against it. Shared by the checks of
every engine, so they all hold the same expectations.
"""
import os
from collections import namedtuple

Totals = namedtuple("Totals", "size files folders")


def read_listing(path):
    """{relative path with '/': (is_dir, size)}"""
    entries = {}
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line:
                continue
            rel, kind, size = line.rsplit("\t", 2)
            entries[rel] = (kind == "d", int(size))
    return entries


def folder_totals(entries):
    """{folder relative path ('' for the root): Totals} with the meaning of
    a scan node's totals: bytes and files anywhere below, and folders below
    not counting the folder itself."""
    size, files, folders = {"": 0}, {"": 0}, {"": 0}
    for rel, (is_dir, _) in entries.items():
        if is_dir:
            size.setdefault(rel, 0)
            files.setdefault(rel, 0)
            folders.setdefault(rel, 0)
    for rel, (is_dir, entry_size) in entries.items():
        parent = rel
        while parent:
            parent = parent.rpartition("/")[0]
            if is_dir:
                folders[parent] += 1
            else:
                files[parent] += 1
                size[parent] += entry_size
    return {rel: Totals(size[rel], files[rel], folders[rel]) for rel in size}


def expected_summary(entries):
    """fileCount, folderCount (root included) and totalSize of a scan of the
    whole tree."""
    root = folder_totals(entries)[""]
    return {"fileCount": root.files, "folderCount": root.folders + 1, "totalSize": root.size}


def wine_path(linux_path):
    """The path under Wine's Z: drive, which maps to the Linux root."""
    return "Z:" + os.path.abspath(linux_path).replace("/", "\\")


def relative_to_root(path, root_path):
    """'' for the root itself, 'a/b' for root_path\\a\\b; None when outside."""
    if path == root_path:
        return ""
    prefix = root_path if root_path.endswith(("\\", "/")) else root_path + "\\"
    if not path.startswith(prefix):
        return None
    return path[len(prefix):].replace("\\", "/")


def compare_report(report, entries, root_path):
    """Every difference between a --json --tree report and the listing, as
    readable lines (empty when they agree)."""
    problems = []
    expected = expected_summary(entries)
    for key, value in expected.items():
        if report.get(key) != value:
            problems.append("%s: scan %r, listing %r" % (key, report.get(key), value))
    if report.get("rootPath") != root_path:
        problems.append("rootPath: scan %r, expected %r" % (report.get("rootPath"), root_path))

    nodes = report.get("nodes")
    if nodes is None:
        return problems + ["no nodes in the report (was --tree given?)"]
    totals = folder_totals(entries)
    seen = set()
    for node in nodes:
        rel = relative_to_root(node["path"], root_path)
        if rel is None:
            problems.append("node outside the root: %r" % node["path"])
            continue
        if rel in seen:
            problems.append("node listed twice: %r" % rel)
        seen.add(rel)
        if rel == "":
            want = totals[""]
            is_dir = True
        elif rel not in entries:
            problems.append("node not in the listing: %r" % rel)
            continue
        else:
            is_dir, size = entries[rel]
            want = totals[rel] if is_dir else Totals(size, 0, 0)
        got = Totals(node["size"], node["fileCount"], node["folderCount"])
        if node["isDirectory"] != is_dir:
            problems.append("%r: isDirectory %r, listing %r" % (rel, node["isDirectory"], is_dir))
        if got != want:
            problems.append("%r: scan %r, listing %r" % (rel, tuple(got), tuple(want)))
    missing = set(entries) - seen
    for rel in sorted(missing)[:20]:
        problems.append("listed but not scanned: %r" % rel)
    if len(missing) > 20:
        problems.append("... %d more not scanned" % (len(missing) - 20))
    return problems


def compare_rankings(report, entries, root_path, count):
    """The top files and folders must be the largest of the listing, largest
    first, with their true sizes. Only sizes are compared in order: among
    equal sizes the report orders by UTF-16 code units, not by Python's
    code points."""
    problems = []
    totals = folder_totals(entries)
    file_sizes = sorted((size for is_dir, size in entries.values() if not is_dir), reverse=True)
    folder_sizes = sorted((totals[rel].size for rel in totals if rel), reverse=True)
    for key, sizes in (("topFiles", file_sizes), ("topFolders", folder_sizes)):
        ranked = report.get(key, [])
        want = sizes[:count]
        if [item["size"] for item in ranked] != want:
            problems.append("%s sizes %r, listing %r" % (
                key, [item["size"] for item in ranked][:10], want[:10]))
        for item in ranked:
            rel = relative_to_root(item["path"], root_path)
            if rel is None or rel == "" or rel not in entries:
                problems.append("%s: %r is not an entry below the root" % (key, item["path"]))
                continue
            is_dir, size = entries[rel]
            true_size = totals[rel].size if is_dir else size
            if is_dir != (key == "topFolders") or item["size"] != true_size:
                problems.append("%s: %r has size %r, listing %r" % (key, rel, item["size"], true_size))
            if key == "topFolders" and (item["fileCount"], item["folderCount"]) != (
                    totals[rel].files, totals[rel].folders):
                problems.append("topFolders: %r counts differ from the listing" % rel)
    return problems


def compare_partial_report(report, entries, root_path):
    """For a cancelled scan's --tree report: every node must be a real entry
    with its true type and file size, and every folder's totals must add up
    over the nodes the report holds (a partial tree with consistent totals)."""
    problems = []
    nodes = report.get("nodes")
    if nodes is None:
        return ["no nodes in the report (was --tree given?)"]
    by_rel = {}
    for node in nodes:
        rel = relative_to_root(node["path"], root_path)
        if rel is None or (rel and rel not in entries):
            problems.append("node not in the listing: %r" % node["path"])
            continue
        if rel in by_rel:
            problems.append("node listed twice: %r" % rel)
        by_rel[rel] = node
        if rel and entries[rel][0] != node["isDirectory"]:
            problems.append("%r: isDirectory %r" % (rel, node["isDirectory"]))
        if rel and not node["isDirectory"] and node["size"] != entries[rel][1]:
            problems.append("%r: size %r, listing %r" % (rel, node["size"], entries[rel][1]))
    if "" not in by_rel:
        return problems + ["the root is missing"]
    scanned = {rel: (node["isDirectory"], node["size"]) for rel, node in by_rel.items() if rel}
    for rel, want in folder_totals(scanned).items():
        node = by_rel.get(rel)
        if node is None:
            problems.append("folder %r holds scanned entries but is not a node" % rel)
            continue
        got = Totals(node["size"], node["fileCount"], node["folderCount"])
        if got != want:
            problems.append("%r: totals %r, its scanned nodes add up to %r" % (rel, tuple(got), tuple(want)))
    files = sum(1 for is_dir, _ in scanned.values() if not is_dir)
    summary = (report.get("fileCount"), report.get("folderCount"), report.get("totalSize"))
    if summary != (files, len(nodes) - files, by_rel[""]["size"]):
        problems.append("summary %r does not match the nodes" % (summary,))
    return problems
