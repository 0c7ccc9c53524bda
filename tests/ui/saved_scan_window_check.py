"""Saved scans in the window under Wine: a folder scanned and saved by
ombrix-scan --save (and exported for ncdu), the folder then deleted, and the
files dropped on the real window. The three lists must show what
ombrix-scan --load --json reports for the same file, the status bar the
scan's root and date; a cut-short file, a corrupted one and a file that is
no scan give their own line and leave the shown scan as it was.
Screenshots of a dark and a light theme land in
<build>/tests/ui/saved-scan-window/screenshots."""
import json
import pathlib
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "support"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

from gui_session import DriverError, check_main  # noqa: E402
from scan_window_check import (FILES, FOLDERS, SUBFOLDERS, THEME_LIGHT, Expected,  # noqa: E402
                               ScanWindow, fresh_data, window_check, windows_path)

DATA = "saved-data"


def wait_status(w, wanted, timeout=60):
    """The report once the status line satisfies wanted(line)."""
    deadline = time.monotonic() + timeout
    while True:
        report = w.report()
        if wanted(w.status(report)) or time.monotonic() > deadline:
            return report
        time.sleep(0.3)


def open_by_drop(w, path_win):
    """The report once the dropped file's outcome is in the status bar
    (each drop here ends in another line than the one before it)."""
    before = w.status()
    w.s.drive("drop", "--hwnd", w.hwnd, "--path", path_win)
    opening = w.texts["status.scan_opening"]
    return wait_status(w, lambda line: line not in (before, opening))


def compare_lists(w, report, expected, what):
    root = expected.root
    got = w.rows(FOLDERS, report)
    w.expect(got == expected.tree_rows({root}),
             "%s: Folders list\n%s\nexpected\n%s" % (what, got, expected.tree_rows({root})))
    w.expect(w.rows(FILES, report) == expected.file_rows(),
             "%s: Files list\n%s\nexpected\n%s" % (what, w.rows(FILES, report), expected.file_rows()))
    w.expect(w.rows(SUBFOLDERS, report) == expected.subfolder_rows(),
             "%s: Subfolders list\n%s\nexpected\n%s" % (
                 what, w.rows(SUBFOLDERS, report), expected.subfolder_rows()))
    w.expect(len(got) > 1 and len(w.rows(FILES, report)) > 0, "%s: the lists are filled" % what)


def loaded(w, file_win):
    code, out = w.s.wine([str(w.s.app / "ombrix-scan.exe"), "--json", "--tree", "--load", file_win],
                         timeout=120)
    if not w.expect(code == 0, "ombrix-scan --load %s: exit %d" % (file_win, code)):
        raise DriverError("no report for " + file_win)
    return Expected(json.loads(out))


def run(options, check):
    def body(session):
        drive_c = session.prefix / "drive_c"
        data_win = windows_path(session, fresh_data(session, DATA))
        saved = drive_c / "saved-data.ombrixscan"
        export = drive_c / "saved-data.json"
        saved_win, export_win = windows_path(session, saved), windows_path(session, export)
        code, _ = session.wine([str(session.app / "ombrix-scan.exe"), "--save", saved_win,
                                "--export-ncdu", export_win, data_win], timeout=300)
        check.expect(code == 0, "ombrix-scan --save: exit %d" % code)
        # Opened without the disk: the folder is gone before the window starts.
        subprocess.run(["rm", "-rf", str(drive_c / DATA)], check=True)
        whole = saved.read_bytes()
        bad = {"cut-short.ombrixscan": (whole[:len(whole) // 2], "status.scan_truncated"),
               "flipped.ombrixscan": (whole[:-20] + bytes([whole[-20] ^ 1]) + whole[-19:],
                                      "status.scan_corrupted"),
               "not-a-scan.json": (b"this is no scan\n", "status.scan_not_a_scan")}
        for name, (data, _) in bad.items():
            (drive_c / name).write_bytes(data)

        session.write_settings(theme="Dark")
        w = ScanWindow(session, check, options)

        def steps():
            expected = loaded(w, saved_win)
            report = open_by_drop(w, saved_win)
            line = w.status(report)
            head = w.texts["status.saved_scan"].replace("{root}", data_win).split("{date}")[0]
            w.expect(line.startswith(head) and (" - " + w.texts["status.completed"] + " - ") in line,
                     "saved scan: status line %r, expected %r<date> - %s..." % (
                         line, head, w.texts["status.completed"]))
            compare_lists(w, report, expected, "saved scan")
            shot, cropped, _ = w.screenshot_window("saved-scan-dark")
            print("dark screenshot: %s" % cropped)

            for name, (_, key) in bad.items():
                report = open_by_drop(w, windows_path(session, drive_c / name))
                w.expect(w.status(report) == w.texts[key],
                         "%s: status %r, expected %r" % (name, w.status(report), w.texts[key]))
                compare_lists(w, report, expected, name + " (the shown scan stays)")

            expected_ncdu = loaded(w, export_win)
            report = open_by_drop(w, export_win)
            compare_lists(w, report, expected_ncdu, "ncdu export")
            w.s.drive("command", "--hwnd", w.hwnd, "--id", THEME_LIGHT)
            w.settle()
            shot, cropped, _ = w.screenshot_window("ncdu-export-light")
            print("light screenshot: %s" % cropped)

        w.run("saved scan window", steps)

    window_check(options, "saved-scan-window", body)


if __name__ == "__main__":
    check_main(run)
