#!/usr/bin/env python3
"""ombrix-scan --types and --find on a real tree with known extensions,
sizes and write times, against what Python computes from the same files.

Under Wine: a tree of videos, disk images, pictures, documents in Latin,
accented and Cyrillic names, extensions in mixed case, names without an
extension, a name that is all extension and one whose last dot is followed
by a space. --types must list every type (case folded together) with its
size, count and share, largest first; --find with several patterns, a
minimum size, a modified-before date and --top must list exactly the
matching files, largest first, with their write times; the text summary
must show the same sections. Natively there is nothing to scan: folder
scans need Windows.
"""
import calendar
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import scan_check  # noqa: E402
from scan_check import run_tool, tool_path  # noqa: E402

# (path below the root, size, year of the last write); every size differs,
# so "largest first" has one answer.
FILES = [
    ("movies/film.ISO", 70000, 2019),
    ("movies/Film2.iso", 52000, 2021),
    ("movies/old/ancient.Iso", 25000, 2010),
    ("movies/Clip.Mp4", 31000, 2012),
    ("movies/clip2.MP4", 12000, 2022),
    ("photos/IMG_0001.JPG", 1200, 2014),
    ("photos/img_0002.jpg", 1300, 2016),
    ("photos/\u00c4rger am See.jpg", 1100, 2013),
    ("photos/\u00e4rger.jpeg", 1050, 2013),
    ("docs/\u041e\u0442\u0447\u0435\u0442 2013.PDF", 4400, 2013),
    ("docs/\u043e\u0442\u0447\u0435\u0442 2020.pdf", 4300, 2020),
    ("docs/archive.tar.gz", 8800, 2011),
    ("docs/README", 700, 2018),
    ("docs/notes. old", 650, 2009),
    ("docs/.gitignore", 120, 2024),
    ("docs/empty.txt", 0, 2015),
]


def extension(name):
    """The extension as Windows finds it: from the last dot unless a space
    follows it; a lone trailing dot is none."""
    for i in range(len(name), 0, -1):
        if name[i - 1] == " ":
            return ""
        if name[i - 1] == ".":
            return "" if i == len(name) else name[i - 1:]
    return ""


def file_time(year):
    """FILETIME of 1 June, noon UTC, of the year, and the Unix time."""
    unix = calendar.timegm((year, 6, 1, 12, 0, 0))
    return (unix + 11644473600) * 10000000, unix


def build_tree(root):
    for path, size, year in FILES:
        full = os.path.join(root, *path.split("/"))
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(b"x" * size)
        unix = file_time(year)[1]
        os.utime(full, (unix, unix))


def expected_types():
    """Types keyed by the upper-case extension: (size, count, spellings)."""
    types = {}
    for path, size, _ in FILES:
        ext = extension(path.rsplit("/", 1)[1])
        total, count, spellings = types.get(ext.upper(), (0, 0, set()))
        types[ext.upper()] = (total + size, count + 1, spellings | {ext})
    return types


def check_types(report, check):
    types = expected_types()
    rows = report.get("types", [])
    got = [(row["extension"].upper(), row["size"], row["fileCount"]) for row in rows]
    want = sorted(((key, size, count) for key, (size, count, _) in types.items()),
                  key=lambda row: -row[1])
    check.expect(got == want, "--types rows %r, want %r" % (got, want))
    for row in rows:
        spellings = types.get(row["extension"].upper(), (0, 0, set()))[2]
        check.expect(row["extension"] in spellings,
                     "type %r is spelt as none of its files %r" % (row["extension"], spellings))
        check.expect(row["sizeOnDisk"] >= row["size"] or row["size"] == 0,
                     "type %r: %d bytes on disk for %d" % (
                         row["extension"], row["sizeOnDisk"], row["size"]))


# (--find text, --min-size, --modified-before, --top, the oracle's test)
FINDS = [
    ("*.iso", None, None, 30, lambda name, size, year: name.upper().endswith(".ISO")),
    ("*.ISO;*.mp4", "26000", None, 3,
     lambda name, size, year: name.upper().endswith((".ISO", ".MP4")) and size >= 26000),
    ("\u00e4rger*", None, None, 30, lambda name, size, year: name.upper().startswith("\u00c4RGER")),
    ("\u041e\u0422\u0427\u0415\u0422*", None, "2015-01-01", 30,
     lambda name, size, year: name.upper().startswith("\u041e\u0422\u0427\u0415\u0422")
     and year < 2015),
    ("img_000?.jpg", None, None, 30, lambda name, size, year: name.upper().startswith("IMG_000")),
    ("*", "1KB", "2014-01-01", 30, lambda name, size, year: size >= 1024 and year < 2014),
]


def check_finds(root, options, check):
    for text, min_size, before, top, matches in FINDS:
        args = ["--json", "--top", str(top), "--find", text]
        if min_size:
            args += ["--min-size", min_size]
        if before:
            args += ["--modified-before", before]
        what = "--find %r %s" % (text, " ".join(args[5:]))
        code, stdout, stderr = run_tool(args + [tool_path(root, options)], options, timeout=300)
        if not check.expect(code == 0, "%s: exit %d, %s" % (what, code, stderr[-300:])):
            continue
        report = scan_check.parse_report(stdout, check, what)
        if report is None:
            continue
        wanted = sorted(((path, size, year) for path, size, year in FILES
                         if matches(path.rsplit("/", 1)[1], size, year)), key=lambda f: -f[1])
        got = [(f["path"], f["size"], f["lastWriteTime"]) for f in report.get("found", [])]
        want = [(tool_path(os.path.join(root, *path.split("/")), options), size,
                 file_time(year)[0]) for path, size, year in wanted[:top]]
        check.expect(got == want, "%s: found %r, want %r" % (what, got, want))
        check.expect((report.get("foundCount"), report.get("foundSize"))
                     == (len(wanted), sum(f[1] for f in wanted)),
                     "%s: count %r size %r, want %d and %d" % (
                         what, report.get("foundCount"), report.get("foundSize"), len(wanted),
                         sum(f[1] for f in wanted)))


def check_summary(root, options, check):
    """The text summary carries both sections, the largest type and match
    first."""
    code, stdout, stderr = run_tool(["--types", "--find", "*.mp4", tool_path(root, options)],
                                    options, timeout=300)
    text = stdout.decode("utf-8", "replace")
    if not check.expect(code == 0, "summary: exit %d, %s" % (code, stderr[-300:])):
        return
    types_at = text.find("File types (size, on disk, share, files):")
    found_at = text.find("Found: 2 files")
    check.expect(0 <= types_at < found_at, "summary sections missing or out of order:\n" + text)
    upper = text.upper()
    check.expect(0 <= upper.find(".ISO", types_at) < upper.find(".JPG", types_at),
                 "summary: disk images are not above pictures:\n" + text[types_at:])
    check.expect(0 <= text.find("Clip.Mp4", found_at) < text.find("clip2.MP4", found_at),
                 "summary: found files not largest first:\n" + text[found_at:])


def run(options, check):
    if not options.runner:
        print("folder scans need Windows (tree_scan_check checks that the tool says so)")
        return
    with tempfile.TemporaryDirectory(prefix="ombrix-find-types-") as root:
        build_tree(root)
        code, stdout, stderr = run_tool(["--json", "--types", tool_path(root, options)],
                                        options, timeout=300)
        if check.expect(code == 0, "--types: exit %d, %s" % (code, stderr[-300:])):
            report = scan_check.parse_report(stdout, check, "--types")
            if report is not None:
                check_types(report, check)
        check_finds(root, options, check)
        check_summary(root, options, check)
    if not check.failures:
        print("types of %d files and %d finds agree with the files" % (len(FILES), len(FINDS)))


if __name__ == "__main__":
    scan_check.main(run)
