#!/usr/bin/env python3
"""ombrix-scan --engine ntquery against an independent count.

Under Wine: scans the test tree 'big' (about 60,000 files in 3,000 folders)
with --json --tree at --threads 1, 8 and 64 and compares every folder's
totals, and every entry, with the os.walk listing made beside the tree.
Natively: there is no directory-query call; the tool must say that folders
need Windows, with exit code 2.
"""
import argparse
import json
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import listing_oracle  # noqa: E402

TIMEOUT_SECONDS = 900
THREAD_COUNTS = (1, 8, 64)


def run_tool(args, options):
    command = ([options.runner] if options.runner else []) + [options.scan_exe] + args
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=TIMEOUT_SECONDS)
    return done.returncode, done.stdout, done.stderr.decode("utf-8", "replace")


def check_tree(name, threads, options, failures):
    root = os.path.join(options.testdata, "trees", name)
    entries = listing_oracle.read_listing(root + ".listing")
    root_path = listing_oracle.wine_path(root)
    what = "tree %s, --threads %d" % (name, threads)
    code, stdout, stderr = run_tool(
        ["--engine", "ntquery", "--threads", str(threads), "--json", "--tree", root_path], options)
    if code != 0:
        failures.append("%s: exit code %d, stderr: %s" % (what, code, stderr))
        return
    try:
        report = json.loads(stdout.decode("utf-8"))
    except (UnicodeDecodeError, ValueError) as error:
        failures.append("%s: output is not valid UTF-8 JSON: %s" % (what, error))
        return
    problems = []
    if report["status"] != "Completed":
        problems.append("status %r" % report["status"])
    if report["engine"] != "NtQueryDirectory":
        problems.append("engine %r" % report["engine"])
    if report["issueCount"] != 0:
        problems.append("issues %r" % report["issues"][:5])
    problems += listing_oracle.compare_report(report, entries, root_path)
    failures.extend("%s: %s" % (what, problem) for problem in problems[:40])
    if not problems:
        print("%s: %d files, %d folders, %d bytes, every folder agrees with the listing (%d ms)" % (
            what, report["fileCount"], report["folderCount"], report["totalSize"],
            report["elapsedMs"]))


def check_native(options, failures):
    code, stdout, stderr = run_tool(["--engine", "ntquery", "--json", options.testdata], options)
    if code != 2 or stdout != b"" or "needs Windows" not in stderr:
        failures.append("native ntquery: exit %d, stdout %r, stderr %r" % (code, stdout[:80], stderr))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--testdata", required=True)
    parser.add_argument("--scan-exe", default="")
    parser.add_argument("--runner", default="")
    parser.add_argument("--platform", choices=("windows", "native"), required=True)
    options = parser.parse_args()
    if not options.scan_exe:
        print("ombrix-scan is not part of this build; nothing to check")
        return 0

    failures = []
    if options.platform == "native":
        check_native(options, failures)
    else:
        for threads in THREAD_COUNTS:
            check_tree("big", threads, options, failures)
    for failure in failures:
        print("FAIL: " + failure)
    if failures:
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
