#!/usr/bin/env python3
"""ombrix-scan --image against The Sleuth Kit.

For every NTFS test image (those made by the test setup, and the two
Windows-made ones when present), runs `ombrix-scan --image IMG --tree
--json` and compares the report with `fls -r -p -l`, filtered as the
engine sees the volume:
  - names whose record `ils -a` does not report allocated are dropped, with
    everything below them (fls also prints deleted names, $OrphanFiles and
    names from index blocks a folder has freed);
  - alternate data streams (path:stream) are dropped; metadata files that
    fls lists only by their streams ($Secure, the files in $Extend) are
    left out of the path comparison, but counted in the totals.
The set of (path, size) of files, the set of folders and every folder's
size, file count and folder count must agree. Also checks a sub-folder root
(--root, matched ignoring case) and the trace line; under Wine, that
--engine mft on C: fails at the volume data query, which Wine lacks.

Natively every image is checked; under Wine (--runner) one image, since
each start of a Windows program costs seconds there.
"""
import json
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import scan_check  # noqa: E402
from scan_check import run_tool  # noqa: E402

NATIVE_IMAGES = ["engine_tree", "engine_fragmented", "engine_large_mft", "parse_basic",
                 "parse_4k_sectors", "winxp_dftt7", "win7_tiny"]
WINE_IMAGES = ["engine_tree"]


def read_oracle(prefix):
    allocated = set()
    with open(prefix + ".ils.txt", encoding="utf-8", errors="replace") as f:
        for line in f:
            fields = line.rstrip("\n").split("|")
            if len(fields) > 2 and fields[0].isdigit() and fields[1] == "a":
                allocated.add(int(fields[0]))
    files, folders, dropped, stream_bases = {}, set(), set(), set()
    with open(prefix + ".fls.txt", encoding="utf-8", errors="surrogateescape") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) < 7:
                continue
            head, path = fields[0], fields[1]
            number = re.search(r"(\d+)", head[3:])
            record = int(number.group(1)) if number else -1
            parts = path.split("/")
            if (" * " in head or path.startswith("$OrphanFiles") or record not in allocated
                    or any("/".join(parts[:i]) in dropped for i in range(1, len(parts)))):
                dropped.add(path)
                continue
            if ":" in parts[-1]:
                stream_bases.add(path[:path.rfind(":")])
                continue
            if head[2] == "d":
                folders.add(path)
            else:
                files[path] = int(fields[6])
    stream_only = {b for b in stream_bases
                   if b not in files and b not in folders and b.split("/")[-1].startswith("$")}
    return files, folders, stream_only


def ancestors(path):
    parts = path.split("/")
    return ["/".join(parts[:i]) for i in range(len(parts) - 1, -1, -1)]


def compare(report, files, folders, stream_only, prefix=""):
    problems = []
    root = report["rootPath"]
    ours_files, ours_folders, totals_ours = {}, set(), {}
    expected_totals = {}

    def add(totals, path, size, folder):
        for a in ancestors(path):
            t = totals.setdefault(a, [0, 0, 0])
            if folder:
                t[2] += 1
            else:
                t[0] += size
                t[1] += 1

    for node in report["nodes"]:
        rel = node["path"][len(root):].lstrip("\\").replace("\\", "/")
        if rel == "" and node["isDirectory"]:
            totals_ours[""] = [node["size"], node["fileCount"], node["folderCount"]]
            continue
        full = prefix + "/" + rel if prefix else rel
        if node["isDirectory"]:
            ours_folders.add(rel)
            totals_ours[rel] = [node["size"], node["fileCount"], node["folderCount"]]
        elif full in stream_only:
            add(expected_totals, rel, node["size"], False)
        else:
            ours_files[rel] = node["size"]

    def below(path):
        if not prefix:
            return path
        return path[len(prefix) + 1:] if path.startswith(prefix + "/") else None

    want_files = {below(p): s for p, s in files.items() if below(p) is not None}
    want_folders = {below(p) for p in folders if below(p) is not None}
    for path, size in want_files.items():
        add(expected_totals, path, size, False)
    for path in want_folders:
        add(expected_totals, path, 0, True)

    for path in sorted(set(want_files) - set(ours_files))[:10]:
        problems.append("missing file %s" % path)
    for path in sorted(set(ours_files) - set(want_files))[:10]:
        problems.append("file not in fls: %s" % path)
    for path in sorted(set(want_files) & set(ours_files)):
        if want_files[path] != ours_files[path]:
            problems.append("size of %s: %d, fls says %d" % (path, ours_files[path], want_files[path]))
    for path in sorted(want_folders ^ ours_folders)[:10]:
        problems.append("folder %s only on one side" % path)
    for path, ours in totals_ours.items():
        want = expected_totals.get(path, [0, 0, 0])
        if ours != want:
            problems.append("totals of '%s': %s, fls gives %s" % (path, ours, want))
    return problems


def run(options, check):
    failures = check.failures
    images = WINE_IMAGES if options.runner else NATIVE_IMAGES
    checked = 0
    for name in images:
        prefix = os.path.join(options.testdata, "ntfs", name)
        if not os.path.exists(prefix + ".img"):
            if name.startswith("engine_"):
                failures.append("%s: image missing (the test setup builds it)" % name)
            else:
                print("%s: not present, skipped" % name)
            continue
        files, folders, stream_only = read_oracle(prefix)
        env = dict(os.environ, OMBRIX_MFT_TRACE="1")
        code, stdout, stderr = run_tool(["--image", scan_check.tool_path(prefix + ".img", options),
                                         "--tree", "--json"], options, env)
        if code != 0:
            failures.append("%s: exit code %d, stderr: %s" % (name, code, stderr[-500:]))
            continue
        report = json.loads(stdout.decode("utf-8"))
        if report["status"] != "Completed" or report["engine"] != "NtfsMft":
            failures.append("%s: status %s engine %s message %s" % (
                name, report["status"], report["engine"], report.get("message")))
            continue
        problems = compare(report, files, folders, stream_only)
        failures += ["%s: %s" % (name, p) for p in problems[:30]]
        traces = [l for l in stderr.splitlines()
                  if l.startswith("[OmbrixPerf] NtfsMftScanEngine::Scan detail: chunks=")]
        if len(traces) != 1 or not re.search(r", parseWorkerLimit=\d+$", traces[0]):
            failures.append("%s: expected one trace line, stderr: %s" % (name, stderr[-500:]))
        checked += 1
        print("%s: %d files, %d folders agree with fls (%d ms)" % (
            name, report["fileCount"], report["folderCount"], report["elapsedMs"]))

    prefix = os.path.join(options.testdata, "ntfs", "engine_tree")
    if os.path.exists(prefix + ".img"):
        files, folders, stream_only = read_oracle(prefix)
        code, stdout, stderr = run_tool(["--image", scan_check.tool_path(prefix + ".img", options),
                                         "--root", "\\case folder\\INNER", "--tree", "--json"],
                                        options)
        report = json.loads(stdout.decode("utf-8")) if code == 0 else None
        if report is None or report["status"] != "Completed":
            failures.append("sub-folder root: exit %d %s %s" % (code, stdout[-300:], stderr[-300:]))
        else:
            failures += ["sub-folder root: %s" % p
                         for p in compare(report, files, folders, stream_only, "Case Folder/Inner")]
            if report["fileCount"] != 1:
                failures.append("sub-folder root: %d files" % report["fileCount"])
    if options.runner:
        # Wine opens \\.\C: but has no FSCTL_GET_NTFS_VOLUME_DATA.
        code, stdout, stderr = run_tool(["--engine", "mft", "--json", "C:\\windows"], options)
        try:
            report = json.loads(stdout.decode("utf-8"))
        except ValueError:
            report = {}
        if (report.get("status") != "Failed" or report.get("engine") != "NtfsMft" or
                report.get("message") != "NTFS volume data could not be queried."):
            failures.append("--engine mft C:\\windows under Wine: exit %d, %s %s" % (
                code, stdout[-300:], stderr[-300:]))
    print("%d images checked" % checked)


if __name__ == "__main__":
    scan_check.main(run)
