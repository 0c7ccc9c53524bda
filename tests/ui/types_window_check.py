"""The File types list of the real window under Wine, compared with
ombrix-scan: the find check's folder of files with known extensions and
sizes is scanned, Settings > File types is checked, and the list must hold
the rows `ombrix-scan --json --types` lists (same folder, same --select), in
the same order, with the window's texts and shares; choosing a type must
list the files `ombrix-scan --json --find "*.ext" --top 30` lists in the
Files list's place. The list is re-texted in German, unchecking brings the
Subfolders list back, and screenshots in a dark and a light theme land in
<build>/tests/ui/types-window/screenshots."""
import json
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "support"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

from find_window_check import DATA, FindWindow, make_data  # noqa: E402
from gui_session import check_main  # noqa: E402
from scan_window_check import (count, fresh_data, share, size, window_check,  # noqa: E402
                               windows_path)

FOLDERS, FILES, SUBFOLDERS, OPEN = 1005, 1006, 1007, 1009
FOUND, FILE_TYPES, TYPES = 1017, 1018, 1019
ENGLISH, GERMAN = 1201, 1201 + 3
THEME_DARK, THEME_LIGHT = 1300 + 1, 1300 + 10


class TypesWindow(FindWindow):
    """The find check's session with the File types list's own steps."""

    def scan_json(self, folder, *args):
        code, out = self.s.wine([str(self.s.app / "ombrix-scan.exe"), "--json", "--threads", "2"]
                                + list(args) + [folder], timeout=300)
        if not self.expect(code == 0, "ombrix-scan %s %s: exit %d" % (args, folder, code)):
            return None
        return json.loads(out)

    def expected_types(self, folder, select=None, locale="en-US", no_extension=""):
        args = ["--types"] + (["--select", select] if select else [])
        types = self.scan_json(folder, *args)["types"]
        whole = sum(t["size"] for t in types)
        return [[t["extension"] or no_extension, share(t["size"], whole, locale),
                 size(t["size"], locale), size(t["sizeOnDisk"], locale),
                 count(t["fileCount"], locale)] for t in types]

    def expected_files(self, folder, extension, select=None):
        args = ["--find", "*" + extension, "--top", "30"] + (["--select", select] if select else [])
        found = self.scan_json(folder, *args)["found"]
        return [f["path"] for f in found]

    def compare_types(self, what, report, expected):
        types = self.control(TYPES, report)
        self.expect(types["visible"] and not self.control(SUBFOLDERS, report)["visible"],
                    "%s: the types list is shown in the Subfolders list's place" % what)
        self.expect(types["rows"] == expected,
                    "%s: type rows\n%s\nexpected\n%s" % (what, types["rows"], expected))
        self.expect(len(expected) > 1, "%s: the tool found too few types to compare" % what)

    def choose_type(self, what, extension, expected_paths):
        rows = self.control(TYPES)["rows"]
        row = [r[0] for r in rows].index(extension)
        self.s.drive("list-click", "--hwnd", self.hwnd, "--id", TYPES, "--row", row)
        self.settle(1.0)
        report = self.report()
        found = self.control(FOUND, report)
        self.expect(found["visible"] and not self.control(FILES, report)["visible"],
                    "%s: the type's files are shown in the Files list's place" % what)
        paths = [r[-1] for r in found["rows"]]
        self.expect(paths == expected_paths,
                    "%s: files %s\nexpected %s" % (what, paths, expected_paths))
        self.expect(len(expected_paths) > 0, "%s: the tool found no files" % what)
        return report


def phase_types(w, data_win, texts, german):
    report = w.report()
    w.expect(not w.control(TYPES, report)["visible"], "no types list before File types")
    subfolders_before = w.control(SUBFOLDERS, report)["rows"]
    w.s.drive("command", "--hwnd", w.hwnd, "--id", FILE_TYPES)
    w.settle(1.0)
    no_extension = texts["types.no_extension"]
    w.compare_types("root", w.report(),
                    w.expected_types(data_win, no_extension=no_extension))
    columns = w.control(TYPES)["columns"]
    want = [texts[k] for k in ("column.extension", "column.share", "column.size",
                               "column.on_disk", "column.files")]
    w.expect(columns == want, "type captions %s, expected %s" % (columns, want))

    # A type of several spellings: .mkv and .MKV are one.
    w.choose_type(".mkv", ".mkv", w.expected_files(data_win, ".mkv"))
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOUND, "--row", 0)
    w.settle()
    w.expect(w.control(OPEN)["enabled"], "Open is enabled with a type's file selected")
    _, shot, _ = w.screenshot_window("types-dark")
    print("dark screenshot: %s" % shot)

    # Another folder: its own types, its own files.
    videos = data_win + "\\videos"
    tree = w.control(FOLDERS)["rows"]
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row",
              [r[-1] for r in tree].index(videos))
    w.settle(1.0)
    w.compare_types("videos", w.report(),
                    w.expected_types(data_win, select=videos, no_extension=no_extension))
    w.choose_type(".mkv below videos", ".mkv", w.expected_files(data_win, ".mkv", videos))
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row", 0)
    w.settle(1.0)

    # German: captions, numbers and the row without an extension.
    w.s.drive("command", "--hwnd", w.hwnd, "--id", GERMAN)
    w.s.drive("command", "--hwnd", w.hwnd, "--id", THEME_LIGHT)
    w.settle(1.0)
    report = w.report()
    columns = w.control(TYPES, report)["columns"]
    want = [german[k] for k in ("column.extension", "column.share", "column.size",
                                "column.on_disk", "column.files")]
    w.expect(columns == want, "German type captions %s, expected %s" % (columns, want))
    w.compare_types("German", report,
                    w.expected_types(data_win, locale="de-DE",
                                     no_extension=german["types.no_extension"]))
    w.choose_type(".iso", ".iso", w.expected_files(data_win, ".iso"))
    _, shot, _ = w.screenshot_window("types-light")
    print("light screenshot: %s" % shot)
    w.s.drive("command", "--hwnd", w.hwnd, "--id", ENGLISH)
    w.s.drive("command", "--hwnd", w.hwnd, "--id", THEME_DARK)

    # Unchecked: the Subfolders and Files lists are back as they were.
    w.s.drive("command", "--hwnd", w.hwnd, "--id", FILE_TYPES)
    w.settle(1.0)
    report = w.report()
    w.expect(w.control(SUBFOLDERS, report)["visible"] and not w.control(TYPES, report)["visible"],
             "File types unchecked brings the Subfolders list back")
    w.expect(w.control(FILES, report)["visible"] and not w.control(FOUND, report)["visible"],
             "File types unchecked brings the Files list back")
    w.expect(w.control(SUBFOLDERS, report)["rows"] == subfolders_before,
             "the Subfolders list after File types: %s" % w.control(SUBFOLDERS, report)["rows"])


def run(options, check):
    def body(session):
        data_win = windows_path(session, fresh_data(session, DATA, make_data))
        session.write_settings(theme="Dark", recent_folders=[data_win])
        w = TypesWindow(session, check, options)

        def steps():
            w.choose_recent(0)
            w.scan("types data scan")
            phase_types(w, data_win, w.texts, session.language("de-DE"))

        w.run("types", steps)

    window_check(options, "types-window", body)


if __name__ == "__main__":
    check_main(run)
