#!/usr/bin/env python3
"""Scans as files, end to end through ombrix-scan.

- Round trip: every NTFS test image (and, natively, the million-file bench
  image when it has been built) scanned with --save, then opened with
  --load: the --json --tree reports are identical byte for byte.
- Bad files: truncated, one byte changed, a newer version, not a scan, a
  missing file: exit 2, one line naming the file, no report.
- ncdu (natively, where the Debian package is): ncdu reads our export of
  every test image without error and writes the same tree back, key by
  key; ncdu's export of a real tree (with a hard link, a sparse file and
  an unreadable folder), opened by Ombrix, has the totals of du -sbl
  (logical sizes count every name of a hard-linked file, as Explorer's
  do; without hard links that is du -sb) and du -sB1.
- Compare: a real tree saved, then files added, grown, shrunk and deleted,
  folders added and deleted, and opened again with --compare: every
  node's change and every deletion exact. Natively the trees go through
  ncdu's exports (folder scans need Windows); under Wine the tool scans
  them itself.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import scan_check  # noqa: E402
from scan_check import run_tool, tool_path  # noqa: E402

IMAGES = ["engine_tree", "engine_fragmented", "engine_large_mft", "parse_basic",
          "parse_4k_sectors", "winxp_dftt7", "win7_tiny"]


def image_path(options, name):
    return os.path.join(options.testdata, "ntfs", name + ".img")


def check_round_trip(options, check, work, image, what):
    saved = os.path.join(work, os.path.basename(image) + ".ombrixscan")
    code, scanned, err = run_tool(["--image", tool_path(image, options), "--json", "--tree",
                                   "--save", tool_path(saved, options)], options)
    if not check.expect(code == 0, "%s: scan with --save exited %d: %s" % (what, code, err)):
        return None
    code, loaded, err = run_tool(["--load", tool_path(saved, options), "--json", "--tree"], options)
    check.expect(code == 0, "%s: --load exited %d: %s" % (what, code, err))
    check.expect(loaded == scanned, "%s: the opened scan's report differs from the scan's" % what)
    return saved


def check_bad_files(options, check, work, saved):
    with open(saved, "rb") as f:
        good = f.read()
    newer = bytearray(good)
    newer[8] = 99  # the version, just after the magic
    flipped = bytearray(good)
    flipped[len(good) // 2] ^= 0x40
    cases = {
        "truncated": good[:len(good) - 9],
        "one byte changed": bytes(flipped),
        "newer version": bytes(newer),
        "not a scan": b"PK\x03\x04 a zip file, say",
        "empty": b"",
        "ncdu major version 2": b'[2,0,{"progname":"x"},[{"name":"/"}]]',
    }
    expected_words = {"truncated": "incomplete", "one byte changed": "damaged",
                      "newer version": "newer", "not a scan": "not a saved scan",
                      "empty": "not a saved scan", "ncdu major version 2": "newer"}
    for what, data in cases.items():
        bad = os.path.join(work, "bad.ombrixscan")
        with open(bad, "wb") as f:
            f.write(data)
        for mode in (["--load", tool_path(bad, options)],
                     ["--compare", tool_path(bad, options), "--load", tool_path(saved, options)]):
            code, out, err = run_tool(mode + ["--json"], options)
            label = "%s (%s)" % (what, mode[0])
            check.expect(code == 2, "%s: exit %d, not 2" % (label, code))
            check.expect(out == b"", "%s: a report was written for a bad file" % label)
            check.expect("bad.ombrixscan" in err and expected_words[what] in err,
                         "%s: unclear message %r" % (label, err))
    code, out, err = run_tool(["--load", tool_path(os.path.join(work, "missing"), options)], options)
    check.expect(code == 2 and "could not be read" in err, "missing file: %d %r" % (code, err))


def ncdu_tree(value):
    """An ncdu export's tree with what may differ between writers (the
    metadata's program and date) left out: [info, children...] / info."""
    if isinstance(value, list):
        return [ncdu_tree(v) for v in value]
    return dict(value)


def check_ncdu_reads_our_export(options, check, work, image, what):
    ours = os.path.join(work, "ours.json")
    code, _, err = run_tool(["--image", tool_path(image, options),
                             "--export-ncdu", tool_path(ours, options)], options)
    if not check.expect(code == 0, "%s: --export-ncdu exited %d: %s" % (what, code, err)):
        return
    again = subprocess.run(["ncdu", "-f", ours, "-o", "-"], capture_output=True, timeout=300)
    check.expect(again.returncode == 0 and not again.stderr,
                 "%s: ncdu -f failed: %r" % (what, again.stderr[:300]))
    with open(ours, "rb") as f:
        mine = json.loads(f.read())
    theirs = json.loads(again.stdout)
    check.expect(mine[:2] == theirs[:2], "%s: versions %r and %r" % (what, mine[:2], theirs[:2]))
    check.expect(ncdu_tree(mine[3]) == ncdu_tree(theirs[3]),
                 "%s: ncdu's re-export differs from ours" % what)


def make_tree(root, files, folders):
    """folders: relative paths; files: {relative path: size}."""
    for folder in folders:
        os.makedirs(os.path.join(root, folder), exist_ok=True)
    for name, size in files.items():
        os.makedirs(os.path.dirname(os.path.join(root, name)), exist_ok=True)
        with open(os.path.join(root, name), "wb") as f:
            f.write(b"x" * size)


def du_bytes(args, tree):
    return int(subprocess.run(["du"] + args + [tree], capture_output=True, text=True,
                              check=True).stdout.split()[0])


def check_ncdu_export_opened(options, check, work):
    tree = os.path.join(work, "linux-tree")
    make_tree(tree, {"a/one.bin": 5000, "a/b/two.txt": 123, "c/three": 70000, "top": 1},
              ["empty", "locked/inside"])
    with open(os.path.join(tree, "sparse.img"), "wb") as f:
        f.truncate(10 * 1024 * 1024)
    # First without a hard link (du -sb), then with one (du -sbl: logical
    # sizes count every name of a file, as Explorer does; on disk its
    # clusters count once, as du -sB1 counts them).
    for linked, du_logical in ((False, ["-sb"]), (True, ["-sbl"])):
        if linked:
            os.link(os.path.join(tree, "a", "one.bin"), os.path.join(tree, "c", "same-as-one.bin"))
        what = "ncdu export%s" % (" with a hard link" if linked else "")
        export = os.path.join(work, "ncdu.json")
        os.chmod(os.path.join(tree, "locked"), 0)
        try:
            subprocess.run(["ncdu", "-q", "-o", export, tree], check=True, timeout=120,
                           capture_output=True)
            bytes_total = du_bytes(du_logical, tree)
            disk_total = du_bytes(["-sB1"], tree)
        finally:
            os.chmod(os.path.join(tree, "locked"), 0o755)
        code, out, err = run_tool(["--load", tool_path(export, options), "--json"], options)
        if not check.expect(code == 0, "%s: --load exited %d: %s" % (what, code, err)):
            return
        report = json.loads(out)
        check.expect(report["engine"] == "NcduExport", "%s: engine %r" % (what, report["engine"]))
        check.expect(report["totalSize"] == bytes_total, "%s: total %d, du %s %d" %
                     (what, report["totalSize"], du_logical[0], bytes_total))
        check.expect(report["sizeOnDisk"] == disk_total, "%s: on disk %d, du -sB1 %d" %
                     (what, report["sizeOnDisk"], disk_total))
        # As root the locked folder is still read; otherwise it is an issue.
        if os.geteuid() != 0:
            check.expect(report["issueCount"] == 1, "%s: issues %r" % (what, report["issues"]))


# The compare scenario: (files before, files after, folders before, after).
BEFORE = {"docs/grows.txt": 1000, "docs/shrinks.txt": 9000, "docs/same.txt": 77,
          "docs/gone.txt": 400, "old/a.bin": 300, "old/deep/b.bin": 200, "keep/x": 5}
AFTER = {"docs/grows.txt": 4000, "docs/shrinks.txt": 10, "docs/same.txt": 77,
         "docs/new.txt": 66, "fresh/c.bin": 321, "fresh/sub/d.bin": 9, "keep/x": 5,
         "keep/y": 12}
FOLDERS_BEFORE = ["docs", "old/deep", "keep", "empty-gone"]
FOLDERS_AFTER = ["docs", "keep", "fresh/sub", "empty-new"]


def expected_totals(root):
    """{relative path: (bytes, files)} of a tree as the report counts it:
    natively through ncdu, which counts folders' own sizes as du does;
    under Wine, files only."""
    totals = {}
    for folder, dirs, names in os.walk(root, topdown=False):
        rel = os.path.relpath(folder, root)
        own = os.lstat(folder).st_size if not scan_check_is_wine else 0
        size, files = own, 0
        for name in names:
            path = os.path.join(rel, name) if rel != "." else name
            totals[path] = (os.lstat(os.path.join(folder, name)).st_size, 1)
            size += totals[path][0]
            files += 1
        for name in dirs:
            path = os.path.join(rel, name) if rel != "." else name
            size += totals[path][0]
            files += totals[path][1]
        totals["." if rel == "." else rel] = (size, files)
    return totals


scan_check_is_wine = False


def snapshot(options, check, tree, work, name):
    """The tree as a file the tool opens: natively ncdu's export of it,
    under Wine the tool's own --save of a scan."""
    path = os.path.join(work, name)
    if options.runner:
        code, _, err = run_tool([tool_path(tree, options), "--save", tool_path(path, options)],
                                options)
        check.expect(code == 0, "compare: scan of %s exited %d: %s" % (name, code, err))
    else:
        subprocess.run(["ncdu", "-q", "-o", path, tree], check=True, timeout=120,
                       capture_output=True)
    return path


def check_compare(options, check, work):
    tree = os.path.join(work, "compare-tree")
    make_tree(tree, BEFORE, FOLDERS_BEFORE)
    before = expected_totals(tree)
    earlier = snapshot(options, check, tree, work, "before")
    if not options.runner:
        # The earlier side as our own format, the later one as an export.
        saved = os.path.join(work, "before.ombrixscan")
        run_tool(["--load", earlier, "--save", saved], options)
        earlier = saved
    shutil.rmtree(tree)
    make_tree(tree, AFTER, FOLDERS_AFTER)
    after = expected_totals(tree)
    if options.runner:
        args = [tool_path(tree, options)]
    else:
        args = ["--load", snapshot(options, check, tree, work, "after")]
    code, out, err = run_tool(args + ["--compare", tool_path(earlier, options), "--json",
                                      "--tree"], options)
    if not check.expect(code == 0, "compare: exited %d: %s" % (code, err)):
        return
    report = json.loads(out)
    root_path = report["nodes"][0]["path"]

    def relative(path):
        rest = path[len(root_path):].lstrip("\\/")
        return rest.replace("\\", "/") if rest else "."

    seen = set()
    for node in report["nodes"]:
        rel = relative(node["path"])
        seen.add(rel)
        change = node.get("change")
        if not check.expect(change is not None, "compare: %s has no change" % rel):
            continue
        size, files = after[rel]
        if rel in before:
            want = (size - before[rel][0], files - before[rel][1])
            state = "unchanged" if want == (0, 0) else "changed"
        else:
            want, state = (size, files), "new"
        got = (change["size"], change["fileCount"])
        check.expect(got == want and change["state"] == state,
                     "compare: %s changed by %r (%s), expected %r (%s)" %
                     (rel, got, change["state"], want, state))
    check.expect(seen == set(after), "compare: nodes %r, expected %r" % (sorted(seen), sorted(after)))
    gone = {relative(d["path"]): (d["size"], d["fileCount"]) for d in report["deleted"]}
    expected_gone = {path: before[path] for path in ("docs/gone.txt", "old", "empty-gone")}
    check.expect(gone == expected_gone, "compare: deleted %r, expected %r" % (gone, expected_gone))
    code, out, err = run_tool(args + ["--compare", tool_path(earlier, options)], options)
    text = out.decode("utf-8", "replace")
    check.expect(code == 0 and "Largest growths:" in text and "grows.txt" in text,
                 "compare: the summary lists no growths: %r" % text[-600:])


def run(options, check):
    global scan_check_is_wine
    scan_check_is_wine = bool(options.runner)
    work = tempfile.mkdtemp(prefix="ombrix-saved-")
    try:
        have_ncdu = shutil.which("ncdu") is not None and not options.runner
        saved = None
        for name in IMAGES:
            image = image_path(options, name)
            saved = check_round_trip(options, check, work, image, name) or saved
            if have_ncdu:
                check_ncdu_reads_our_export(options, check, work, image, name)
        bench = os.path.join(options.build_dir, "..", "bench-data", "mft_engine_100.img")
        if not options.runner and os.path.exists(bench):
            check_round_trip(options, check, work, bench, "bench image")
        if saved:
            check_bad_files(options, check, work, saved)
        if have_ncdu:
            check_ncdu_export_opened(options, check, work)
        if options.runner or have_ncdu:
            check_compare(options, check, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    scan_check.main(run)
