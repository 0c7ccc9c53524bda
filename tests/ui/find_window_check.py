"""The find box of the real window under Wine, compared with ombrix-scan:
a folder of files with known extensions and sizes is scanned, patterns
are typed into the box (a name pattern, several separated by ';', a
smallest size, a folder selected in the tree), and the found list must
hold the rows `ombrix-scan --json --find` lists, in the same order, with
the window's texts. A query the box cannot read keeps the last rows and
says so in the status bar; Escape empties the box and brings the Files
list back. The found list is re-texted in German, and screenshots of it in
a dark and a light theme land in <build>/tests/ui/find-window/screenshots."""
import json
import pathlib
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "support"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

from gui_session import check_main  # noqa: E402
from scan_window_check import ScanWindow, fresh_data, size, window_check, windows_path  # noqa: E402

FOLDERS, FILES, STATUS, OPEN = 1005, 1006, 1008, 1009
FIND_BOX, FOUND = 1016, 1017
ENGLISH, GERMAN = 1201, 1201 + 3
THEME_DARK, THEME_LIGHT = 1300 + 1, 1300 + 10
WM_KEYDOWN, VK_ESCAPE = 0x0100, 0x1B
DATA = "find-data"
FILETIME_UNIX_EPOCH = 116444736000000000


def make_data(root):
    """Files whose extensions and sizes are known; every size distinct."""
    files = {
        "videos/holiday.mkv": 3_100_000, "videos/Trailer.MKV": 1_200_000,
        "videos/clips/short.mkv": 400_000, "videos/notes.txt": 2_000,
        "images/disk-a.iso": 2_600_000, "images/disk-b.iso": 700_000,
        "images/old/disk-c.ISO": 1_900_000, "backup.zip": 1_500_000,
        "README": 9_000, "src/main.cpp": 30_000, "src/main.h": 3_000,
        "src/build/main.o": 90_000, "docs/report.pdf": 800_000,
        "docs/report draft.txt": 12_000,
    }
    for relative, length in files.items():
        path = root / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(b"f" * length)


def written_text(file_time):
    """FILETIME as the window shows it: local time, minutes; 0 reads empty."""
    if file_time == 0:
        return ""
    seconds = (file_time - FILETIME_UNIX_EPOCH) // 10_000_000
    return time.strftime("%Y-%m-%d %H:%M", time.localtime(seconds))


class FindWindow(ScanWindow):
    """The scan window's session with the find box's own steps."""

    def tool(self, folder, *args):
        code, out = self.s.wine([str(self.s.app / "ombrix-scan.exe"), "--json", "--threads", "2",
                                 "--top", "1000"] + list(args) + [folder], timeout=300)
        if not self.expect(code == 0, "ombrix-scan %s %s: exit %d" % (args, folder, code)):
            return None
        return json.loads(out)

    def expected_rows(self, folder, tool_args, locale="en-US"):
        found = self.tool(folder, *tool_args)["found"]
        return [[f["path"].rsplit("\\", 1)[-1], size(f["size"], locale),
                 size(f["sizeOnDisk"], locale), written_text(f["lastWriteTime"]), f["path"]]
                for f in found]

    def type_query(self, text):
        self.s.drive("set-text", "--hwnd", self.hwnd, "--id", FIND_BOX, "--text", text)
        self.settle(1.0)
        return self.report()

    def compare(self, what, report, expected):
        found = self.control(FOUND, report)
        self.expect(found["visible"] and not self.control(FILES, report)["visible"],
                    "%s: the found list is shown in the Files list's place" % what)
        self.expect(found["rows"] == expected,
                    "%s: found rows\n%s\nexpected\n%s" % (what, found["rows"], expected))
        self.expect(len(expected) > 0, "%s: the tool found nothing to compare" % what)


def phase_find(w, data_win, texts, german):
    report = w.report()
    box = w.control(FIND_BOX, report)
    w.expect(box["visible"] and box["enabled"], "the find box is there: %s" % box)
    w.expect(not w.control(FOUND, report)["visible"], "no found list before a query")
    files_before = w.control(FILES, report)["rows"]

    # Several patterns, any case.
    w.compare("*.iso;*.MKV", w.type_query("*.iso;*.MKV"),
              w.expected_rows(data_win, ["--find", "*.iso;*.MKV"]))
    # A smallest size.
    w.compare("*.mkv;*.iso >1MB", w.type_query("*.mkv;*.iso >1MB"),
              w.expected_rows(data_win, ["--find", "*.mkv;*.iso", "--min-size", "1MB"]))
    # Text the box cannot read keeps the rows and says why.
    report = w.type_query("*.mkv;*.iso >1XB")
    status = w.control(STATUS, report)["statusText"]
    w.expect(status == texts["status.find_not_understood"], "bad query: status %r" % status)
    w.compare("after a bad query", report,
              w.expected_rows(data_win, ["--find", "*.mkv;*.iso", "--min-size", "1MB"]))
    # Below the folder selected in the tree.
    report = w.type_query("*.iso")
    images = data_win + "\\images"
    tree = w.control(FOLDERS, report)["rows"]
    row = [r[-1] for r in tree].index(images)
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row", row)
    w.settle(1.0)
    report = w.report()
    w.compare("*.iso below images", report,
              w.expected_rows(data_win, ["--find", "*.iso", "--select", images]))
    # Open works on a found file.
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOUND, "--row", 0)
    w.settle()
    w.expect(w.control(OPEN)["enabled"], "Open is enabled with a found file selected")
    # Back to the root, every text file.
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row", 0)
    report = w.type_query("*.txt;readme")
    w.compare("*.txt;readme", report, w.expected_rows(data_win, ["--find", "*.txt;readme"]))
    _, shot, _ = w.screenshot_window("find-dark")
    print("dark screenshot: %s" % shot)

    # German: captions and numbers.
    w.s.drive("command", "--hwnd", w.hwnd, "--id", GERMAN)
    w.settle(1.0)
    report = w.report()
    columns = w.control(FOUND, report)["columns"]
    want = [german[k] for k in ("column.file_name", "column.size", "column.on_disk",
                                "column.last_written", "column.full_path")]
    w.expect(columns == want, "German found captions %s, expected %s" % (columns, want))
    w.compare("German", report,
              w.expected_rows(data_win, ["--find", "*.txt;readme"], locale="de-DE"))
    w.s.drive("command", "--hwnd", w.hwnd, "--id", THEME_LIGHT)
    w.settle(1.0)
    report = w.type_query("*.mkv;*.iso;*.zip")
    _, shot, _ = w.screenshot_window("find-light")
    print("light screenshot: %s" % shot)
    w.s.drive("command", "--hwnd", w.hwnd, "--id", ENGLISH)
    w.s.drive("command", "--hwnd", w.hwnd, "--id", THEME_DARK)

    # Escape empties the box: the Files list is back as it was.
    w.s.drive("post", "--hwnd", w.hwnd, "--id", FIND_BOX, "--message", WM_KEYDOWN,
              "--wparam", VK_ESCAPE)
    w.settle(1.0)
    report = w.report()
    w.expect(w.control(FIND_BOX, report)["text"] == "", "Escape empties the box")
    w.expect(w.control(FILES, report)["visible"] and not w.control(FOUND, report)["visible"],
             "Escape brings the Files list back")
    w.expect(w.control(FILES, report)["rows"] == files_before,
             "the Files list after Escape: %s" % w.control(FILES, report)["rows"])


def run(options, check):
    def body(session):
        data_win = windows_path(session, fresh_data(session, DATA, make_data))
        session.write_settings(theme="Dark", recent_folders=[data_win])
        w = FindWindow(session, check, options)

        def steps():
            w.choose_recent(0)
            w.scan("find data scan")
            phase_find(w, data_win, w.texts, session.language("de-DE"))

        w.run("find", steps)

    window_check(options, "find-window", body)


if __name__ == "__main__":
    check_main(run)
