"""Comparing scans in the window under Wine: a folder scanned in the real
window, changed (a file grown, one shrunk, files and a folder deleted, a
folder with a file added) and scanned again; File > Compare with previous
scan then compares with the scan the window kept of it. Every Folders row's
Change must be what ombrix-scan --compare reports for the same two states,
the deleted file and folder listed as rows of their own; a click on the
Change header lists the largest growths, a second the largest shrinks,
deleted files and folders among them. Screenshots of a dark and a light
theme land in <build>/tests/ui/compare-window/screenshots."""
import json
import pathlib
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "support"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

from gui_session import DriverError, check_main  # noqa: E402
from scan_window_check import (FILES, FOLDERS, SUBFOLDERS, THEME_LIGHT, ScanWindow,  # noqa: E402
                               fresh_data, size, window_check, windows_path)

DATA = "compare-data"
COMPARE_PREVIOUS = 1403


def signed_size(value):
    return ("-" if value < 0 else "+") + size(abs(value))


def signed_count(value):
    return ("-" if value < 0 else "+") + "{:,}".format(abs(value))


def change_text(texts, change):
    """The Change column's text for a node's "change" in the report."""
    if change["state"] == "unchanged":
        return ""
    amount = signed_size(change["size"])
    if change["state"] == "new":
        return texts["change.added"].replace("{size}", amount)
    if change["fileCount"] == 0:
        return amount
    return texts["change.with_files"].replace("{size}", amount).replace(
        "{count}", signed_count(change["fileCount"]))


def deleted_text(texts, gone):
    return texts["change.deleted"].replace("{size}", signed_size(-gone["size"]))


def leaf(path):
    return path.rsplit("\\", 1)[-1]


def change_data(root):
    """Changes with distinct sizes, so no two rows tie in either order."""
    with open(root / "alpha" / "alpha-00.dat", "ab") as grown:
        grown.write(b"g" * 50000)
    with open(root / "beta" / "beta-01.dat", "r+b") as shrunk:
        shrunk.truncate(10)
    subprocess.run(["rm", "-rf", str(root / "gamma")], check=True)
    (root / "loose-0.txt").unlink()
    (root / "delta" / "delta-00.dat").unlink()
    (root / "newdir").mkdir()
    (root / "newdir" / "new-file.bin").write_bytes(b"n" * 70000)


class Report:
    """ombrix-scan --compare's report, read the way the lists show it."""

    def __init__(self, report, texts):
        self.texts = texts
        self.nodes = {n["path"]: n for n in report["nodes"]}
        self.root = report["nodes"][0]["path"]
        self.deleted = report["deleted"]

    def children(self, path):
        return [n for p, n in self.nodes.items() if p != path and p.rsplit("\\", 1)[0] == path]

    def root_rows(self):
        """Name and Change of the Folders rows with the root expanded, by size."""
        rows = [[leaf(self.root), change_text(self.texts, self.nodes[self.root]["change"])]]
        kids = sorted(self.children(self.root),
                      key=lambda n: (-n["size"], not n["isDirectory"], n["path"].lower()))
        rows += [[leaf(n["path"]), change_text(self.texts, n["change"])] for n in kids]
        gone = sorted((g for g in self.deleted if g["path"].rsplit("\\", 1)[0] == self.root),
                      key=lambda g: -g["size"])
        rows += [[leaf(g["path"]), deleted_text(self.texts, g)] for g in gone]
        return rows

    def ranked(self, folders, growth):
        """(path, change) of the largest growths or shrinks below the root."""
        entries = []
        for path, node in self.nodes.items():
            change = node["change"]
            if path == self.root or node["isDirectory"] != folders:
                continue
            if growth and (change["size"] > 0 or change["state"] == "new"):
                entries.append((change["size"], path, change_text(self.texts, change)))
            if not growth and change["size"] < 0:
                entries.append((-change["size"], path, change_text(self.texts, change)))
        if not growth:
            entries += [(g["size"], g["path"], deleted_text(self.texts, g))
                        for g in self.deleted if g["isDirectory"] == folders]
        entries.sort(key=lambda e: -e[0])
        return [[path, text] for _, path, text in entries[:30]]


def compared(w, timeout=90):
    """Asks for the comparison with the previous scan until it is shown
    (the window may still be keeping the new scan); the report then."""
    prefix = w.texts["status.compared"].split("{root}")[0]
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        w.s.drive("command", "--hwnd", w.hwnd, "--id", COMPARE_PREVIOUS)
        for _ in range(10):
            report = w.report()
            if w.status(report).startswith(prefix):
                return report
            time.sleep(0.5)
    raise DriverError("no comparison shown; status %r" % w.status())


def check_lists(w, report, expected, what):
    got = [[row[0], row[-1]] for row in w.rows(FOLDERS, report)]
    w.expect(got == expected.root_rows(),
             "%s: Folders rows\n%s\nexpected\n%s" % (what, got, expected.root_rows()))


def check_order(w, report, expected, growth, what):
    files = [[row[4], row[-1]] for row in w.rows(FILES, report)]
    folders = [[row[5], row[-1]] for row in w.rows(SUBFOLDERS, report)]
    w.expect(files == expected.ranked(False, growth),
             "%s: Files list\n%s\nexpected\n%s" % (what, files, expected.ranked(False, growth)))
    w.expect(folders == expected.ranked(True, growth),
             "%s: Subfolders list\n%s\nexpected\n%s" % (what, folders, expected.ranked(True, growth)))
    w.expect(len(files) > 0 and len(folders) > 0, "%s: both lists are filled" % what)


def compare_steps(w, session, data, data_win, before_win):
    """Scan, save by the tool, change, scan again, compare with the kept
    previous scan; then the orders by change."""
    w.choose_recent(0)
    w.scan("first scan")
    code, _ = session.wine([str(session.app / "ombrix-scan.exe"), "--save", before_win,
                            data_win], timeout=300)
    w.expect(code == 0, "ombrix-scan --save: exit %d" % code)
    change_data(data)
    w.scan("second scan")
    code, out = session.wine([str(session.app / "ombrix-scan.exe"), "--json", "--tree",
                              "--compare", before_win, data_win], timeout=300)
    if not w.expect(code == 0, "ombrix-scan --compare: exit %d" % code):
        raise DriverError("no report to compare with")
    expected = Report(json.loads(out), w.texts)

    report = compared(w)
    line = w.status(report)
    head = w.texts["status.compared"].replace("{root}", data_win).split("{date}")[0]
    w.expect(line.startswith(head) and (" - " + w.texts["status.completed"] + " - ") in line,
             "status line %r, expected %r<date> - %s..." % (
                 line, head, w.texts["status.completed"]))
    columns = w.control(FOLDERS, report)["columns"]
    w.expect(columns[-1] == w.texts["column.change"], "Folders columns %s" % columns)
    check_lists(w, report, expected, "by size")
    shot, cropped, _ = w.screenshot_window("compare-dark")
    print("dark screenshot: %s" % cropped)

    change_column = len(w.control(FOLDERS, report)["widths"]) - 1
    w.s.drive("header-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--column", change_column)
    w.settle()
    report = w.report()
    w.expect(w.control(FOLDERS, report)["columns"][-1] == w.texts["column.change_growth"],
             "growth header %r" % w.control(FOLDERS, report)["columns"][-1])
    check_order(w, report, expected, True, "largest growth first")

    w.s.drive("header-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--column", change_column)
    w.settle()
    report = w.report()
    check_order(w, report, expected, False, "largest shrink first")
    w.s.drive("command", "--hwnd", w.hwnd, "--id", THEME_LIGHT)
    w.settle()
    shot, cropped, _ = w.screenshot_window("compare-shrink-light")
    print("light screenshot: %s" % cropped)


def run(options, check):
    def body(session):
        data = fresh_data(session, DATA)
        data_win = windows_path(session, data)
        before_win = windows_path(session, session.prefix / "drive_c" / "compare-before.ombrixscan")
        session.write_settings(theme="Dark", recent_folders=[data_win])
        w = ScanWindow(session, check, options)
        w.run("compare window", lambda: compare_steps(w, session, data, data_win, before_win))

    window_check(options, "compare-window", body)


if __name__ == "__main__":
    check_main(run)
