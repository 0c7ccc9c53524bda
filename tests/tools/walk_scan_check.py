#!/usr/bin/env python3
"""ombrix-scan --engine walk against an independent count.

Under Wine: scans the test trees 'basic' and 'big' (100,000 files) with
--json --tree and compares every total and every folder with the os.walk
listing made beside each tree; then checks the exit codes of a missing path
(Completed, zero totals), of Ctrl+C during a scan (1, partial tree) and of a
bad option (2, usage text).
Natively: the tool cannot walk folders there and must say so with exit 2.
"""
import os
import signal
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import listing_oracle  # noqa: E402
import scan_check  # noqa: E402
from scan_check import run_tool  # noqa: E402

TIMEOUT_SECONDS = 900
TOP_COUNT = 30


def check_tree(name, options, check):
    root = os.path.join(options.testdata, "trees", name)
    entries = listing_oracle.read_listing(root + ".listing")
    root_path = listing_oracle.wine_path(root)
    code, stdout, stderr = run_tool(["--engine", "walk", "--json", "--tree", root_path], options)
    what = "tree %s" % name
    if not check.expect(code == 0, "%s: exit code %d, stderr: %s" % (what, code, stderr)):
        return
    report = scan_check.parse_report(stdout, check, what)
    if report is None:
        return
    # stdout is in binary mode: no "\r\n" translation by the C runtime.
    check.expect(b"\r" not in stdout, "%s: carriage returns in the report" % what)
    check.expect(report["status"] == "Completed", "%s: status %r" % (what, report["status"]))
    check.expect(report["engine"] == "DirectoryWalk", "%s: engine %r" % (what, report["engine"]))
    check.expect(report["issueCount"] == 0 and report["issues"] == [],
                 "%s: issues %r" % (what, report["issues"][:5]))
    problems = listing_oracle.compare_report(report, entries, root_path)
    problems += listing_oracle.compare_rankings(report, entries, root_path, TOP_COUNT)
    for problem in problems[:40]:
        check.expect(False, "%s: %s" % (what, problem))
    if not problems:
        print("%s: %d files, %d folders, %d bytes agree with the listing (%d ms)" % (
            what, report["fileCount"], report["folderCount"], report["totalSize"],
            report["elapsedMs"]))


def check_missing_path(options, check):
    missing = listing_oracle.wine_path(os.path.join(options.testdata, "trees", "no-such-folder"))
    code, stdout, stderr = run_tool(["--engine", "walk", "--json", missing], options)
    if not check.expect(code == 0, "missing path: exit code %d, stderr: %s" % (code, stderr)):
        return
    report = scan_check.parse_report(stdout, check, "missing path")
    if report is None:
        return
    got = (report["status"], report["fileCount"], report["folderCount"], report["totalSize"],
           report["topFiles"], report["topFolders"])
    check.expect(got == ("Completed", 0, 1, 0, [], []), "missing path: %r" % (got,))


def check_ctrl_c(options, check):
    """Wine turns SIGINT into the console's Ctrl+C event. Sent once the
    first progress line shows the scan running, it must end the scan early
    with status Cancelled, exit code 1 and a consistent partial tree."""
    root = os.path.join(options.testdata, "trees", "big")
    entries = listing_oracle.read_listing(root + ".listing")
    root_path = listing_oracle.wine_path(root)
    command = [options.runner, options.scan_exe, "--engine", "walk", "--json", "--tree",
               "--progress", root_path]
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    first = process.stderr.readline().decode("utf-8", "replace")
    if check.expect(first.startswith("progress: "), "Ctrl+C: no progress line but %r" % first):
        process.send_signal(signal.SIGINT)
    stdout, stderr = process.communicate(timeout=TIMEOUT_SECONDS)
    stderr = first + stderr.decode("utf-8", "replace")
    if not check.expect(process.returncode == 1, "Ctrl+C: exit code %d, stderr tail %r" % (
            process.returncode, stderr[-300:])):
        return
    report = scan_check.parse_report(stdout, check, "Ctrl+C")
    if report is None:
        return
    check.expect(report["status"] == "Cancelled", "Ctrl+C: status %r" % report["status"])
    check.expect(report["fileCount"] < len(entries), "Ctrl+C: the whole tree was scanned")
    for problem in listing_oracle.compare_partial_report(report, entries, root_path)[:40]:
        check.expect(False, "Ctrl+C: %s" % problem)
    print("Ctrl+C: cancelled after %d of %d entries, totals consistent" % (
        len(report["nodes"]) - 1, len(entries)))


def check_bad_usage(options, check):
    for args in (["--bogus", "C:\\"], ["--engine", "walk"], ["--top", "x", "C:\\"]):
        code, stdout, stderr = run_tool(args, options)
        check.expect(code == 2, "%r: exit code %d" % (args, code))
        check.expect(stdout == b"", "%r: wrote to stdout" % (args,))
        check.expect("ombrix-scan: " in stderr and "Usage: ombrix-scan" in stderr,
                     "%r: no message and usage on stderr: %r" % (args, stderr))


def check_native(options, check):
    code, stdout, stderr = run_tool(["--engine", "walk", "--json", options.testdata], options)
    check.expect(code == 2, "native walk: exit code %d" % code)
    check.expect(stdout == b"", "native walk: wrote a report")
    check.expect("needs Windows" in stderr, "native walk: unclear message %r" % stderr)
    code, stdout, _ = run_tool(["--help"], options)
    check.expect(code == 0 and b"Usage: ombrix-scan" in stdout, "native --help: exit %d" % code)


def run(options, check):
    if options.platform == "native":
        check_native(options, check)
    else:
        for name in ("basic", "big"):
            check_tree(name, options, check)
        check_missing_path(options, check)
        check_ctrl_c(options, check)
    check_bad_usage(options, check)


if __name__ == "__main__":
    scan_check.main(run)
