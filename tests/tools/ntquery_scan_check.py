#!/usr/bin/env python3
"""ombrix-scan --engine ntquery against an independent count.

Under Wine: scans the test tree 'big' (100,000 files in 5,000 folders)
with --json --tree at --threads 1, 8 and 64 and compares every folder's
totals, and every entry, with the os.walk listing made beside the tree.
Natively: there is no directory-query call; the tool must say that folders
need Windows, with exit code 2.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import listing_oracle  # noqa: E402
import scan_check  # noqa: E402
from scan_check import run_tool  # noqa: E402

THREAD_COUNTS = (1, 8, 64)


def check_tree(name, threads, options, check):
    root = os.path.join(options.testdata, "trees", name)
    entries = listing_oracle.read_listing(root + ".listing")
    root_path = listing_oracle.wine_path(root)
    what = "tree %s, --threads %d" % (name, threads)
    code, stdout, stderr = run_tool(
        ["--engine", "ntquery", "--threads", str(threads), "--json", "--tree", root_path], options)
    if not check.expect(code == 0, "%s: exit code %d, stderr: %s" % (what, code, stderr)):
        return
    report = scan_check.parse_report(stdout, check, what)
    if report is None:
        return
    problems = []
    if report["status"] != "Completed":
        problems.append("status %r" % report["status"])
    if report["engine"] != "NtQueryDirectory":
        problems.append("engine %r" % report["engine"])
    if report["issueCount"] != 0:
        problems.append("issues %r" % report["issues"][:5])
    problems += listing_oracle.compare_report(report, entries, root_path)
    check.failures.extend("%s: %s" % (what, problem) for problem in problems[:40])
    if not problems:
        print("%s: %d files, %d folders, %d bytes, every folder agrees with the listing (%d ms)" % (
            what, report["fileCount"], report["folderCount"], report["totalSize"],
            report["elapsedMs"]))


def check_native(options, check):
    code, stdout, stderr = run_tool(["--engine", "ntquery", "--json", options.testdata], options)
    check.expect(code == 2 and stdout == b"" and "needs Windows" in stderr,
                 "native ntquery: exit %d, stdout %r, stderr %r" % (code, stdout[:80], stderr))


def run(options, check):
    if options.platform == "native":
        check_native(options, check)
    else:
        for threads in THREAD_COUNTS:
            check_tree("big", threads, options, check)


if __name__ == "__main__":
    scan_check.main(run)
