#!/usr/bin/env python3
"""ombrix-scan with several paths against the scans of each path alone.

Under Wine: `--json --tree DIR1 DIR2` must hang both trees under one
synthetic root named "All local drives" (or the --label text), with totals
that are the sums of the single-path scans of DIR1 and DIR2, and each part's
nodes equal to that path's own scan; the single scans agree with the os.walk
listings. `--engine auto C:\\windows` must scan with the directory-query
engine (not a volume root, so the MFT engine is never tried).
Natively: folder scans need Windows, so the tool must refuse with exit 2.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import listing_oracle  # noqa: E402
import scan_check  # noqa: E402
from scan_check import run_tool  # noqa: E402

DEFAULT_LABEL = "All local drives"


def scan(args, options, check, what):
    code, stdout, stderr = run_tool(["--json", "--tree"] + args, options)
    if not check.expect(code == 0, "%s: exit code %d, stderr: %s" % (what, code, stderr)):
        return None
    return scan_check.parse_report(stdout, check, what)


def node_key(node):
    return (node["path"], node["isDirectory"], node["size"], node["fileCount"],
            node["folderCount"], node["attributes"])


def belongs_to(path, root):
    return path == root or path.startswith(root + "\\")


def check_merged(report, label, parts, check, what):
    """parts: [(root path, single-path report)] in path order."""
    check.expect(report["status"] == "Completed", "%s: status %r" % (what, report["status"]))
    check.expect(report["rootPath"] == label, "%s: rootPath %r" % (what, report["rootPath"]))
    engines = {single["engine"] for _, single in parts}
    expected_engine = engines.pop() if len(engines) == 1 else "DirectoryWalk"
    check.expect(report["engine"] == expected_engine,
                 "%s: engine %r, parts %r" % (what, report["engine"], engines))
    for key in ("fileCount", "folderCount", "issueCount", "totalSize"):
        expected = sum(single[key] for _, single in parts)
        check.expect(report[key] == expected,
                     "%s: %s %d, sum of the parts %d" % (what, key, report[key], expected))

    nodes = report["nodes"]
    if not check.expect(len(nodes) == 1 + sum(len(s["nodes"]) for _, s in parts),
                        "%s: %d nodes" % (what, len(nodes))):
        return
    root = nodes[0]
    check.expect((root["path"], root["isDirectory"], root["attributes"]) == (label, True, 16),
                 "%s: synthetic root %r" % (what, root))
    check.expect(root["size"] == report["totalSize"]
                 and root["fileCount"] == report["fileCount"]
                 and root["folderCount"] == report["folderCount"],
                 "%s: synthetic root totals %r" % (what, root))
    # Each part's block follows the previous one, in path order.
    start = 1
    for part_root, single in parts:
        block = nodes[start:start + len(single["nodes"])]
        start += len(single["nodes"])
        strays = [n["path"] for n in block if not belongs_to(n["path"], part_root)]
        check.expect(not strays, "%s: nodes outside %s in its block: %r" % (
            what, part_root, strays[:5]))
        got = sorted(node_key(n) for n in block)
        expected = sorted(node_key(n) for n in single["nodes"])
        if got != expected:
            differ = [g for g, e in zip(got, expected) if g != e][:5]
            check.expect(False, "%s: part %s differs from its own scan, first: %r" % (
                what, part_root, differ))


def check_several_paths(options, check):
    names = ("basic", "wide300")
    roots = [os.path.join(options.testdata, "trees", name) for name in names]
    paths = [listing_oracle.wine_path(root) for root in roots]
    parts = []
    for name, root, path in zip(names, roots, paths):
        single = scan([path], options, check, "single %s" % name)
        if single is None:
            return
        expected = listing_oracle.expected_summary(
            listing_oracle.read_listing(root + ".listing"))
        got = {key: single[key] for key in expected}
        check.expect(got == expected, "single %s: %r, listing %r" % (name, got, expected))
        check.expect(single["engine"] == "NtQueryDirectory",
                     "single %s: engine %r" % (name, single["engine"]))
        parts.append((path, single))

    merged = scan(paths, options, check, "merged")
    if merged is not None:
        check_merged(merged, DEFAULT_LABEL, parts, check, "merged")
        print("merged: %d files, %d folders, %d bytes agree with the single scans" % (
            merged["fileCount"], merged["folderCount"], merged["totalSize"]))

    labelled = scan(["--label", "Two trees"] + paths, options, check, "labelled")
    if labelled is not None:
        check_merged(labelled, "Two trees", parts, check, "labelled")

    # One path under a label of its own still gets the synthetic root.
    one = scan(["--label", "Just one"] + paths[:1], options, check, "one labelled")
    if one is not None:
        check_merged(one, "Just one", parts[:1], check, "one labelled")


def check_automatic_windows_folder(options, check):
    report = scan(["--engine", "auto", "C:\\windows"], options, check, "auto C:\\windows")
    if report is None:
        return
    check.expect(report["status"] == "Completed", "auto C:\\windows: %r" % report["status"])
    check.expect(report["engine"] == "NtQueryDirectory",
                 "auto C:\\windows: engine %r" % report["engine"])
    check.expect(report["rootPath"] == "C:\\windows",
                 "auto C:\\windows: rootPath %r" % report["rootPath"])
    check.expect(report["fileCount"] > 0, "auto C:\\windows: no files")
    print("auto C:\\windows: %s, %d files" % (report["engine"], report["fileCount"]))


def check_native(options, check):
    roots = [os.path.join(options.testdata, "trees", name) for name in ("basic", "wide300")]
    code, stdout, stderr = run_tool(["--json"] + roots, options)
    check.expect(code == 2 and stdout == b"", "native several paths: exit %d" % code)
    check.expect("needs Windows" in stderr, "native several paths: %r" % stderr)


def run(options, check):
    if options.platform == "native":
        check_native(options, check)
    else:
        check_several_paths(options, check)
        check_automatic_windows_folder(options, check)


if __name__ == "__main__":
    scan_check.main(run)
