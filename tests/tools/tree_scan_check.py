#!/usr/bin/env python3
"""ombrix-scan on real directory trees, every engine that takes paths,
against the os.walk listings (tests/support/listing_oracle.py).

Under Wine: each engine configuration (--engine walk; --engine ntquery at
--threads 1, 8 and 64; --engine auto, the scheduler, under a --label) scans
all test trees at once - basic (with a folder link and a link back to an
ancestor), wide300, wide5000 and big (100,000 files) - and every node of
the merged report must match the listings: kinds, sizes, every folder's
totals, links as empty folders with the reparse-point attribute. Then what
only the platform shows: trailing separators, a single path with and
without its own label, a missing path and a file as root, the deep chain
(more than 260 characters, as far as Wine opens it) with the walk and the
directory-query engines, Ctrl+C during a scan, and bad usage.
Natively: folder scans need Windows; the tool must say so with exit 2.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data"))
import build_trees  # noqa: E402
import expected_tree  # noqa: E402
import listing_oracle  # noqa: E402
import scan_check  # noqa: E402
from scan_check import run_tool, tool_path  # noqa: E402

TREES = ("basic", "wide300", "wide5000", "big")
DEFAULT_LABEL = "All local drives"
TOP_COUNT = 30
TIMEOUT_SECONDS = 900

# (what, options, engine the report names)
CONFIGURATIONS = [
    ("walk", ["--engine", "walk"], "DirectoryWalk"),
    ("ntquery, 1 thread", ["--engine", "ntquery", "--threads", "1"], "NtQueryDirectory"),
    ("ntquery, 8 threads", ["--engine", "ntquery", "--threads", "8"], "NtQueryDirectory"),
    ("ntquery, 64 threads", ["--engine", "ntquery", "--threads", "64"], "NtQueryDirectory"),
    ("auto", ["--engine", "auto", "--label", "Test trees"], "NtQueryDirectory"),
]


class Trees:
    """The test trees: where they lie, how the tool names them, and their
    listings (read once)."""

    def __init__(self, options):
        self.options = options
        self.entries = {}
        self.built = {}

    def linux(self, name):
        return os.path.join(self.options.testdata, "trees", name)

    def path(self, name):
        return tool_path(self.linux(name), self.options)

    def listing(self, name):
        if name not in self.entries:
            self.entries[name] = listing_oracle.read_listing(self.linux(name) + ".listing")
        return self.entries[name]

    def nodes(self, name):
        if name not in self.built:
            self.built[name] = listing_oracle.tree_nodes(self.path(name), self.listing(name))
        return self.built[name]


def scan(args, what, options, check):
    """The JSON report of a completed scan with --json --tree, or None (and
    a failure)."""
    code, stdout, stderr = run_tool(["--json", "--tree"] + args, options, timeout=TIMEOUT_SECONDS)
    if not check.expect(code == 0, "%s: exit code %d, stderr: %s" % (
            what, code, stderr[-500:])):
        return None
    report = scan_check.parse_report(stdout, check, what)
    # stdout is in binary mode: no "\r\n" translation by the C runtime.
    if report is not None:
        check.expect(b"\r" not in stdout, "%s: carriage returns in the report" % what)
    return report


def report_problems(check, what, problems):
    check.failures.extend("%s: %s" % (what, problem) for problem in problems[:40])
    return not problems


def expect_clean(report, engine, check, what):
    return check.expect(
        (report["status"], report["engine"], report["issueCount"], report["issues"])
        == ("Completed", engine, 0, []),
        "%s: status %s, engine %s, issues %r" % (
            what, report["status"], report["engine"], report["issues"][:5]))


def block_order_problems(report, roots):
    """A merged report lists its synthetic root, then each path's nodes in
    one block, in path order, each block led by that path's root."""
    order = []
    for node in report["nodes"][1:]:
        owner = [i for i, root in enumerate(roots)
                 if node["path"] == root or node["path"].startswith(root + "\\")]
        if len(owner) != 1:
            return ["%r belongs to no single path" % node["path"]]
        if not order or order[-1] != owner[0]:
            if owner[0] in order or node["path"] != roots[owner[0]]:
                return ["the nodes of %s are not one block led by its root" % roots[owner[0]]]
            order.append(owner[0])
    return [] if order == list(range(len(roots))) else ["parts in the order %r" % order]


def check_configuration(what, args, engine, trees, check):
    roots = [trees.path(name) for name in TREES]
    label = args[args.index("--label") + 1] if "--label" in args else DEFAULT_LABEL
    report = scan(args + roots, what, trees.options, check)
    if report is None:
        return
    expect_clean(report, engine, check, what)
    nodes = expected_tree.merged(label, [(trees.path(n), trees.nodes(n)) for n in TREES])
    synthetic = report["nodes"][0] if report["nodes"] else {}
    problems = expected_tree.compare_report(report, nodes, label, is_merged=True)
    problems += expected_tree.compare_rankings(report, nodes, label, TOP_COUNT,
                                               [trees.path(n) for n in TREES])
    problems += block_order_problems(report, roots)
    if synthetic.get("attributes") != expected_tree.ATTRIBUTE_DIRECTORY:
        problems.append("synthetic root %r" % synthetic)
    if report_problems(check, what, problems):
        print("%s: %d files, %d folders, %d bytes in %d trees agree with the listings (%d ms)" % (
            what, report["fileCount"], report["folderCount"], report["totalSize"], len(TREES),
            report["elapsedMs"]))


def check_single_paths(trees, check):
    """One path is scanned as its own root, whatever separators trail it;
    under a label of its own it still gets the synthetic root."""
    root = trees.path("basic")
    nodes = trees.nodes("basic")
    for args, engine in ((["--engine", "walk", root + "\\\\"], "DirectoryWalk"),
                         (["--engine", "walk", root + "\\/"], "DirectoryWalk"),
                         (["--engine", "ntquery", root + "/"], "NtQueryDirectory"),
                         ([root + "\\"], "NtQueryDirectory")):
        what = " ".join(args[:-1] + ["basic" + args[-1][len(root):]])
        report = scan(args, what, trees.options, check)
        if report is not None and expect_clean(report, engine, check, what):
            report_problems(check, what, expected_tree.compare_report(report, nodes, root))

    what = "--label 'Just one' wide300"
    report = scan(["--label", "Just one", trees.path("wide300")], what, trees.options, check)
    if report is not None and expect_clean(report, "NtQueryDirectory", check, what):
        merged = expected_tree.merged("Just one", [(trees.path("wide300"), trees.nodes("wide300"))])
        report_problems(check, what, expected_tree.compare_report(
            report, merged, "Just one", is_merged=True))


def check_roots_that_are_no_folders(trees, check):
    """A missing path, a file and a path below a file are scanned as empty
    folder nodes (a file keeps its own attributes). The directory-query
    engine records why it could not list each (not found, a file is no
    folder, path not found); the walk records only denied access."""
    missing = trees.path("no-such-folder")
    a_file = trees.path("basic") + "\\top.txt"
    below_file = a_file + "\\below-a-file"
    for engine, issues in (("walk", []),
                           ("ntquery", [(missing, 2), (a_file, 87), (below_file, 3)])):
        what = "--engine %s on roots that are no folders" % engine
        report = scan(["--engine", engine, missing, a_file, below_file], what, trees.options, check)
        if report is None:
            continue
        got = [(n["path"], n["isDirectory"], n["size"], n["fileCount"], n["folderCount"],
                bool(n["attributes"] & expected_tree.ATTRIBUTE_DIRECTORY))
               for n in report["nodes"][1:]]
        want = [(path, True, 0, 0, 0, path != a_file) for path in (missing, a_file, below_file)]
        check.expect(report["status"] == "Completed" and got == want,
                     "%s: status %s, roots %r" % (what, report["status"], got))
        got_issues = [(issue["path"], issue["errorCode"]) for issue in report["issues"]]
        check.expect(sorted(got_issues) == sorted(issues), "%s: issues %r" % (what, got_issues))


# Wine opens a folder through CreateFileW (the directory-query engine) while
# its Linux path has at most 4,095 bytes; through FindFirstFileExW with the
# pattern folder\* (the walk) at most 4,094. The deepest folder each engine
# opens still lists the next level, which is shown as an empty folder; the
# directory-query engine records that it could not open it.
LINUX_PATH_LIMIT = {"walk": 4094, "ntquery": 4095}
DEEP_LEVELS_SCANNED = 8


def check_deep_chain(trees, check):
    """The chain of build_trees.DEEP_DEPTH one-letter folders is far past
    MAX_PATH, so the engines must reach it in extended-length form. Wine
    resolves every component on each open (n levels down cost n^2), so each
    engine scans only the last few levels it can open, as far down as the
    platform opens them: on Wine as deep as its Linux paths allow, which
    must be past level 1,900."""
    with open(trees.linux("deep.path")) as f:
        top = f.read().strip()
    level_path = lambda level: top + "/d" * level  # noqa: E731
    for engine, limit in LINUX_PATH_LIMIT.items():
        reach = build_trees.DEEP_DEPTH
        if trees.options.runner:
            while scan_check.wine_unix_path_length(level_path(reach), trees.options) > limit:
                reach -= 1
        what = "--engine %s on the deep chain" % engine
        if not check.expect(reach >= 1900, "%s: Wine opens only %d levels; the test data lies "
                            "too deep in the file system" % (what, reach)):
            continue
        start = reach - DEEP_LEVELS_SCANNED
        root = tool_path(level_path(start), trees.options)
        report = scan(["--engine", engine, root + "\\"], what, trees.options, check)
        if report is None:
            continue
        kinds = {tool_path(level_path(level), trees.options): (True, 0, False)
                 for level in range(start, min(reach + 1, build_trees.DEEP_DEPTH) + 1)}
        unopened = []
        if reach == build_trees.DEEP_DEPTH:
            kinds[tool_path(level_path(reach) + "/leaf.txt", trees.options)] = (False, 6, False)
        elif engine == "ntquery":
            unopened = [tool_path(level_path(reach + 1), trees.options)]
        problems = expected_tree.compare_report(report, expected_tree.with_totals(kinds, root), root)
        if [issue["path"] for issue in report["issues"]] != unopened:
            problems.append("issues %r, expected for %r" % (
                [issue["errorCode"] for issue in report["issues"]], unopened))
        # Spell the chain's paths out by their depth: thousands of characters
        # each would bury the message.
        problems = [re.sub(r"(?:\\\\d)+", lambda m: "\\d...(%d levels)" % (
            len(m.group(0)) // 3), p) for p in problems]
        if report_problems(check, what, problems):
            print("%s: levels %d to %d (%d-character paths) agree with the platform's reach" % (
                what, start, reach, len(tool_path(level_path(reach), trees.options))))


def check_ctrl_c(trees, check):
    """Wine turns SIGINT into the console's Ctrl+C event. Sent once the
    first progress line shows the scan running, it must end the scan early
    with status Cancelled, exit code 1 and a consistent partial tree."""
    root = trees.path("big")
    options = trees.options
    process = subprocess.Popen([options.runner, options.scan_exe, "--json", "--tree", "--progress",
                                root], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    watchdog = threading.Timer(TIMEOUT_SECONDS, process.kill)
    watchdog.start()
    try:
        first = process.stderr.readline().decode("utf-8", "replace")
        if check.expect(first.startswith("progress: "), "Ctrl+C: no progress line but %r" % first):
            process.send_signal(signal.SIGINT)
        stdout, stderr = process.communicate()
    finally:
        watchdog.cancel()
    stderr = first + stderr.decode("utf-8", "replace")
    if not check.expect(process.returncode == 1, "Ctrl+C: exit code %d, stderr tail %r" % (
            process.returncode, stderr[-300:])):
        return
    report = scan_check.parse_report(stdout, check, "Ctrl+C")
    if report is None:
        return
    check.expect(report["status"] == "Cancelled", "Ctrl+C: status %r" % report["status"])
    check.expect(len(report["nodes"]) - 1 < len(trees.listing("big")),
                 "Ctrl+C: the whole tree was scanned")
    if report_problems(check, "Ctrl+C", expected_tree.compare_partial_report(
            report, trees.nodes("big"), root)):
        print("Ctrl+C: cancelled after %d of %d entries, totals consistent" % (
            len(report["nodes"]) - 1, len(trees.listing("big"))))


def check_sizes_on_disk(options, check):
    """A sparse gigabyte with one megabyte written and a file with names in
    two folders: the directory query takes each file's allocation and file
    id from the directory entries, so the sparse file holds its megabyte,
    the linked file says 2 names, and every folder counts its clusters once.
    The walk has no allocation to read and estimates whole clusters."""
    root = tempfile.mkdtemp(prefix="ombrix-sizes-")
    try:
        os.makedirs(os.path.join(root, "one"))
        os.makedirs(os.path.join(root, "two"))
        sparse = os.path.join(root, "sparse.bin")
        with open(sparse, "wb") as f:
            f.truncate(1 << 30)
            f.write(os.urandom(1 << 20))
        linked = os.path.join(root, "one", "linked.bin")
        with open(linked, "wb") as f:
            f.write(os.urandom(20000))
        os.link(linked, os.path.join(root, "two", "linked too.bin"))
        blocks = {path: os.stat(path).st_blocks * 512 for path in (sparse, linked)}
        windows = tool_path(root, options)
        report = scan(["--engine", "ntquery", windows], "sizes on disk, ntquery", options, check)
        if report is not None:
            nodes = {n["path"]: n for n in report["nodes"]}
            got = {p[len(windows):]: (n["sizeOnDisk"], n.get("links")) for p, n in nodes.items()}
            want = {"": (blocks[sparse] + blocks[linked], None),
                    "\\sparse.bin": (blocks[sparse], None),
                    "\\one": (blocks[linked], None), "\\two": (blocks[linked], None),
                    "\\one\\linked.bin": (blocks[linked], 2),
                    "\\two\\linked too.bin": (blocks[linked], 2)}
            check.expect(got == want and blocks[sparse] < (2 << 20),
                         "sizes on disk (ntquery): %r, from st_blocks %r" % (got, want))
        report = scan(["--engine", "walk", windows], "sizes on disk, walk", options, check)
        if report is not None:
            files = [n for n in report["nodes"] if not n["isDirectory"]]
            check.expect(all(n["sizeOnDisk"] >= n["size"] and "links" not in n for n in files),
                         "sizes on disk (walk): %r" % files)
        print("sizes on disk: a sparse gigabyte holds %d bytes, a file of two names counts once"
              % blocks[sparse])
    finally:
        shutil.rmtree(root, ignore_errors=True)


def check_bad_usage(options, check):
    for args in (["--bogus", "C:\\"], ["--engine", "walk"], ["--top", "x", "C:\\"]):
        code, stdout, stderr = run_tool(args, options, timeout=120)
        check.expect(code == 2, "%r: exit code %d" % (args, code))
        check.expect(stdout == b"", "%r: wrote to stdout" % (args,))
        check.expect("ombrix-scan: " in stderr and "Usage: ombrix-scan" in stderr,
                     "%r: no message and usage on stderr: %r" % (args, stderr))


def check_native(options, check):
    trees = [os.path.join(options.testdata, "trees", name) for name in ("basic", "wide300")]
    for args in (["--engine", "walk", trees[0]], ["--engine", "ntquery", trees[0]],
                 ["--engine", "auto", trees[0]], trees):
        code, stdout, stderr = run_tool(["--json"] + args, options, timeout=120)
        check.expect(code == 2 and stdout == b"" and "needs Windows" in stderr,
                     "native %r: exit %d, stdout %r, stderr %r" % (args, code, stdout[:80], stderr))
    code, stdout, _ = run_tool(["--help"], options, timeout=120)
    check.expect(code == 0 and b"Usage: ombrix-scan" in stdout, "native --help: exit %d" % code)


def run(options, check):
    if options.platform == "native":
        check_native(options, check)
    else:
        trees = Trees(options)
        for what, args, engine in CONFIGURATIONS:
            check_configuration(what, args, engine, trees, check)
        check_single_paths(trees, check)
        check_roots_that_are_no_folders(trees, check)
        check_deep_chain(trees, check)
        check_ctrl_c(trees, check)
        check_sizes_on_disk(options, check)
    check_bad_usage(options, check)


if __name__ == "__main__":
    scan_check.main(run)
