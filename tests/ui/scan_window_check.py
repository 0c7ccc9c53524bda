"""Ombrix end to end under Wine, as a user works it: the real ombrix.exe
with a portable settings file, a generated folder chosen through the
recent-folders list and through a drop, Scan, the completion line, and the
three lists compared with ombrix-scan --json on the same folder (the same
rows in the same order with the same sizes and shares; --select for a
sub-folder picked in the tree). Then expand and collapse through the
expander box and double clicks, the share order flipped by its header, a
scan of a large tree cancelled (partial tree, empty rankings), a folder
more than 400 characters deep scanned and opened, and a switch of
language and theme with every list, caption and status line re-texted.
Screenshots of a dark and a light theme land in
<build>/tests/ui/scan-window/screenshots (the README's come from there)."""
import json
import os
import pathlib
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "support"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

from gui_session import DriverError, GuiSession, check_main, child  # noqa: E402

MAIN = "Ombrix.MainWindow"
SELECTOR, SCAN, CANCEL, FOLDER, FOLDERS, FILES, SUBFOLDERS, STATUS, OPEN = (
    1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009)
RECENT_FIRST = 1100
GERMAN = 1201 + 3
THEME_DARK = 1300 + 1
THEME_LIGHT = 1300 + 10
EXIT = 1011

# Palette colours the checks sample (COLORREF 0x00BBGGRR).
DARK = {"cell": 0x28221F, "header": 0x332B27}
LIGHT = {"cell": 0xFFFFFF, "header": 0xFAF7F5, "selected": 0xEB6325}

DATA = "e2e-data"
BIG = "e2e-big"
AMPERSAND = "e2e-R&D"


# Number formatting the way the program writes it, for en-US and de-DE -------------

def group(digits, thousands):
    out = ""
    while len(digits) > 3:
        out = thousands + digits[-3:] + out
        digits = digits[:-3]
    return digits + out


def one_decimal(value, locale="en-US"):
    whole, fraction = ("%.1f" % value).split(".")
    dec, thou = (".", ",") if locale == "en-US" else (",", ".")
    return group(whole, thou) + dec + fraction


def count(value, locale="en-US"):
    return group(str(value), "," if locale == "en-US" else ".")


def size(value, locale="en-US"):
    units = ["B", "KB", "MB", "GB", "TB", "PB"]
    scaled, unit = float(value), 0
    while scaled >= 1024.0 and unit + 1 < 6:
        scaled *= 0.0009765625
        unit += 1
    if unit == 0:
        return count(value, locale) + " B"
    return one_decimal(scaled, locale) + " " + units[unit]


def share(part, whole, locale="en-US"):
    return one_decimal(100.0 * part / whole if whole else 0.0, locale) + " %"


# The folders -------------------------------------------------------------

def window_check(options, name, body):
    """A check of the real window in a session of its own: the program laid
    out with ombrix-scan beside it, body(session) run, the server stopped
    whatever happened."""
    if options.platform != "windows":
        print("the window exists only in the Windows build; nothing to check")
        return
    session = GuiSession(options.build_dir, name)
    session.start_server()
    try:
        session.lay_out_app(scan_tool=True)
        body(session)
    finally:
        session.stop_server()
    print("screenshots: %s" % session.shots)


def fresh_data(session, name, make=None):
    """A tree made anew in C:\\name, by make_data unless make is given;
    its path on the host."""
    folder = session.prefix / "drive_c" / name
    subprocess.run(["rm", "-rf", str(folder)], check=True)
    (make or make_data)(folder)
    return folder


def make_data(root):
    """Sizes all distinct, more than 30 files, folders three deep."""
    serial = [0]

    def put(path, units):
        serial[0] += 1
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(b"o" * (units * 1000 + serial[0] * 7))

    for i, name in enumerate(["alpha", "beta", "gamma", "delta"]):
        for j in range(6 + i):
            put(root / name / ("%s-%02d.dat" % (name, j)), 3 * i + j + 1)
        put(root / name / "inner" / ("%s-inner.bin" % name), 11 + i)
        put(root / name / "inner" / "deepest" / ("%s-deep.bin" % name), 17 + 2 * i)
    for j in range(5):
        put(root / ("loose-%d.txt" % j), 2 + j * 5)
    (root / "empty").mkdir(exist_ok=True)
    # Sizes on disk that are not the sizes: a sparse file holding one block
    # of its 100,003 bytes, and a file with a second name in another folder.
    sparse = root / "sparse.img"
    if not sparse.exists():
        with open(sparse, "wb") as f:
            f.truncate(100003)
            f.write(b"s" * 4096)
    shared = root / "alpha" / "shared.bin"
    put(shared, 9)
    second = root / "beta" / "inner" / "shared name.bin"
    if second.exists():
        second.unlink()
    os.link(shared, second)


def make_big(root, tops=40, subs=100, files=25):
    for t in range(tops):
        for s in range(subs):
            folder = root / ("top%02d" % t) / ("sub%03d" % s)
            folder.mkdir(parents=True, exist_ok=True)
            for f in range(files):
                (folder / ("f%02d" % f)).write_bytes(b"")


def make_long(root, target=420):
    """A folder whose full Windows path is longer than `target` characters."""
    folder = root
    k = 0
    while len("C:\\" + str(folder.relative_to(root.parents[1])).replace("/", "\\")) <= target:
        folder = folder / ("long-segment-%02d-" % k + "x" * 36)
        k += 1
    (folder / "inside").mkdir(parents=True, exist_ok=True)
    (folder / "inside" / "deep-file.bin").write_bytes(b"d" * 5000)
    (folder / "top-file.bin").write_bytes(b"t" * 3000)
    return folder


def windows_path(session, path):
    return "C:\\" + str(path.relative_to(session.prefix / "drive_c")).replace("/", "\\")


# Expected texts from ombrix-scan -----------------------------------------

class Expected:
    """ombrix-scan --json --tree on a folder: the nodes by path, and the
    three lists' texts as the window must show them."""

    def __init__(self, report, selected=None):
        self.report = report
        self.nodes = {n["path"]: n for n in report["nodes"]}
        self.root = report["rootPath"]
        self.selected = selected or self.root

    def name(self, path):
        return path.rsplit("\\", 1)[-1] or path

    def on_disk(self, node, locale="en-US"):
        """The On disk cell: the size on disk, marked for a file of several
        names or a placeholder (in English)."""
        text = size(node["sizeOnDisk"], locale)
        if node.get("links", 0) > 1:
            text += " (%s names)" % count(node["links"], locale)
        if node.get("placeholder"):
            text += " (online only)"
        return text

    def children(self, path):
        prefix = path.rstrip("\\") + "\\"
        return [n for p, n in self.nodes.items()
                if p.startswith(prefix) and "\\" not in p[len(prefix):]]

    def tree_row(self, path, locale="en-US"):
        node = self.nodes[path]
        total = self.nodes[self.root]["size"]
        counts = ([count(node["fileCount"], locale), count(node["folderCount"], locale)]
                  if node["isDirectory"] else ["", ""])
        return [self.name(path), share(node["size"], total, locale), size(node["size"], locale),
                self.on_disk(node, locale)] + counts + [path]

    def tree_rows(self, expanded, descending=True, locale="en-US"):
        rows = []

        def visit(path):
            rows.append(self.tree_row(path, locale))
            if path not in expanded:
                return
            kids = self.children(path)
            # By size in the order's direction; folders first on equal size.
            kids.sort(key=lambda n: ((-n["size"] if descending else n["size"]),
                                     not n["isDirectory"], n["path"].lower()))
            for kid in kids:
                visit(kid["path"])

        visit(self.root)
        return rows

    def file_rows(self, locale="en-US"):
        base = self.nodes[self.selected]["size"]
        return [[share(f["size"], base, locale), size(f["size"], locale), self.on_disk(f, locale),
                 self.name(f["path"]), f["path"]] for f in self.report["topFiles"]]

    def subfolder_rows(self, locale="en-US"):
        base = self.nodes[self.selected]["size"]
        return [[share(f["size"], base, locale), size(f["size"], locale), self.on_disk(f, locale),
                 count(f["fileCount"], locale), count(f["folderCount"], locale), f["path"]]
                for f in self.report["topFolders"]]


# The session -------------------------------------------------------------

class ScanWindow:
    def __init__(self, session, check, options):
        self.s = session
        self.check = check
        self.options = options
        self.hwnd = None
        self.process = None
        self.texts = session.language("en-US")

    def expect(self, condition, message):
        return self.check.expect(condition, message)

    def scan_tool(self, folder, select=None):
        args = [str(self.s.app / "ombrix-scan.exe"), "--json", "--tree", "--threads", "2"]
        if select:
            args += ["--select", select]
        code, out = self.s.wine(args + [folder], timeout=300)
        if not self.expect(code == 0, "ombrix-scan %s: exit %d" % (folder, code)):
            return None
        return json.loads(out)

    def start(self):
        self.process = self.s.launch("ombrix.exe")
        self.hwnd = self.s.wait_window(MAIN, timeout_ms=60000)["hwnd"]

    def stop(self):
        self.s.drive("command", "--hwnd", self.hwnd, "--id", EXIT)
        try:
            code = self.process.wait(timeout=60)
            self.expect(code == 0, "exit code %d after File > Exit" % code)
        except subprocess.TimeoutExpired:
            self.expect(False, "the program did not end after File > Exit")

    def report(self):
        return self.s.report(self.hwnd)

    def run(self, what, body):
        """Starts the window, runs body() and ends the window with File >
        Exit whatever happened; a driver failure fails the check."""
        self.start()
        try:
            body()
        except (DriverError, subprocess.TimeoutExpired, KeyError, IndexError, ValueError,
                TypeError) as error:
            self.expect(False, "%s: %r" % (what, error))
        finally:
            self.stop()

    def control(self, cid, report=None):
        """The control as the user sees it: a list's columns of no width
        (the Change column while nothing is compared) are left out."""
        found = dict(child(report or self.report(), cid))
        widths = found.get("widths")
        if widths:
            shown = [i for i, width in enumerate(widths) if width > 0]
            found["columns"] = [found["columns"][i] for i in shown]
            found["rows"] = [[row[i] for i in shown] for row in found["rows"]]
        return found

    def status(self, report=None):
        return self.control(STATUS, report)["statusText"]

    def rows(self, cid, report=None):
        return self.control(cid, report)["rows"]

    def settle(self, seconds=0.6):
        time.sleep(seconds)

    def wait_scan_end(self, timeout=180):
        """Waits for the Scan button to come back; the report then."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            report = self.report()
            if self.control(SCAN, report)["enabled"] and not self.control(CANCEL, report)["enabled"]:
                return report
            time.sleep(0.3)
        raise DriverError("the scan did not end within %d s" % timeout)

    def scan(self, what):
        self.s.drive("click", "--hwnd", self.hwnd, "--id", SCAN)
        report = self.wait_scan_end()
        line = self.status(report)
        self.expect(line.startswith(self.texts["status.completed"] + " - "),
                    "%s: completion line %r" % (what, line))
        return report

    def choose_recent(self, position):
        self.s.drive("command", "--hwnd", self.hwnd, "--id", RECENT_FIRST + position)
        self.settle()

    def screenshot_window(self, name):
        # A file manager started by Open can appear seconds later, when the
        # machine is busy, on top of the window: it is not what is looked at.
        strays = self.s.drive("windows", "--class", "ExplorerWClass")
        for stray in strays:
            self.s.drive("close", "--hwnd", stray["hwnd"], allow_failure=True)
        if strays:
            self.expect(self.s.wait_gone("ExplorerWClass"), "%s: the file managers close" % name)
            self.settle(1.0)
        shot = self.s.screenshot(name + "-screen")
        window = self.s.drive("windows", "--class", MAIN)[0]
        x, y, w, h = window["rect"]
        cropped = self.s.shots / (name + ".png")
        subprocess.run(["/usr/bin/convert", str(shot), "-crop", "%dx%d+%d+%d" % (w, h, x, y),
                        "+repage", str(cropped)], check=True, timeout=60)
        return shot, cropped, window

    def size_captions_drawn(self, shot, window):
        """Whether the Folders header shows captions right of its name and
        share columns: painted over in the header's colour, it would hold
        the fill and its border lines only."""
        x, y = window["clientOrigin"]
        folders = child(self.report(), FOLDERS)
        left, top, width, _ = folders["rect"]
        start = sum(folders["widths"][:2]) + 4
        return GuiSession.colours(shot, x + left + start, y + top + 3, width - start - 24, 10) >= 3


def phase_recent_and_compare(w, data_win, long_win):
    what = "recent folder"
    report = w.report()
    w.expect(w.status(report) == w.texts["status.ready"], "start: status %r" % w.status(report))
    w.choose_recent(0)
    report = w.report()
    selector = w.control(SELECTOR, report)
    w.expect(selector["items"][1] == w.texts["combo.folder_prefix"] + data_win and
             selector["selection"] == 1, "%s: selector %s" % (what, selector))
    w.expect(w.status(report) == w.texts["status.folder_selected"], "%s: status %r" % (what, w.status(report)))
    saved = w.s.read_settings()["recentFolders"]
    w.expect(saved[0] == data_win and len(saved) == 2, "%s: recent list saved %s" % (what, saved))

    report = w.scan("data scan")
    expected = Expected(w.scan_tool(data_win))
    root = expected.root
    got_tree = w.rows(FOLDERS, report)
    w.expect(got_tree == expected.tree_rows({root}),
             "Folders list after the scan:\n%s\nexpected\n%s" % (got_tree, expected.tree_rows({root})))
    w.expect(w.rows(FILES, report) == expected.file_rows(),
             "Files list:\n%s\nexpected\n%s" % (w.rows(FILES, report), expected.file_rows()))
    w.expect(len(w.rows(FILES, report)) == 30, "Files list has %d rows" % len(w.rows(FILES, report)))
    w.expect(w.rows(SUBFOLDERS, report) == expected.subfolder_rows(),
             "Subfolders list:\n%s\nexpected\n%s" % (w.rows(SUBFOLDERS, report), expected.subfolder_rows()))
    w.expect(w.control(FOLDERS, report)["columns"][1] == w.texts["column.share_desc"],
             "share header reads %r" % w.control(FOLDERS, report)["columns"][1])
    w.expect(not w.control(OPEN, report)["enabled"], "Open is disabled with no ranking selection")
    summary = "%s - %s%s, %s%s" % (w.texts["status.completed"], w.texts["status.files"],
                                    count(expected.report["fileCount"]), w.texts["status.folders"],
                                    count(expected.report["folderCount"]))
    w.expect(w.status(report).startswith(summary), "completion line %r, expected %r..." % (w.status(report), summary))
    # A folder, not a drive: what it holds on disk, without the drive's figures.
    on_disk = w.texts["status.on_disk"].replace("{found}", size(expected.report["sizeOnDisk"]))
    w.expect(w.status(report).endswith(", " + on_disk), "completion line %r ends without %r" % (
        w.status(report), on_disk))
    return expected


def row_of(rows, path):
    for index, row in enumerate(rows):
        if row[-1] == path:
            return index
    raise DriverError("no row for %s" % path)


def phase_tree(w, expected):
    root = expected.root
    alpha = root + "\\alpha"
    inner = alpha + "\\inner"
    # Double click on a folder row expands it and selects it: the rankings
    # are then those of ombrix-scan --select for that folder.
    row = row_of(w.rows(FOLDERS), alpha)
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row", row, "--double")
    w.settle()
    report = w.report()
    w.expect(w.rows(FOLDERS, report) == expected.tree_rows({root, alpha}),
             "after double click on alpha:\n%s" % w.rows(FOLDERS, report))
    selected = Expected(w.scan_tool(root, select=alpha), selected=alpha)
    w.expect(w.rows(FILES, report) == selected.file_rows(),
             "Files for alpha:\n%s\nexpected\n%s" % (w.rows(FILES, report), selected.file_rows()))
    w.expect(w.rows(SUBFOLDERS, report) == selected.subfolder_rows(),
             "Subfolders for alpha:\n%s\nexpected\n%s" % (w.rows(SUBFOLDERS, report), selected.subfolder_rows()))
    # A click inside inner's expander box (depth 2: 2*18 + 6 + 5 pixels in).
    row = row_of(w.rows(FOLDERS, report), inner)
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row", row, "--column", 0,
              "--x", 2 * 18 + 6 + 5)
    w.settle()
    w.expect(w.rows(FOLDERS) == expected.tree_rows({root, alpha, inner}),
             "after a click on inner's expander box:\n%s" % w.rows(FOLDERS))
    # The same box again collapses it; a double click on a file does nothing.
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row", row, "--column", 0,
              "--x", 2 * 18 + 6 + 5)
    w.settle()
    w.expect(w.rows(FOLDERS) == expected.tree_rows({root, alpha}), "inner collapsed again")
    # A double click on the box toggles once, as a single click does.
    for expanded, state in (({root, alpha, inner}, "expanded"), ({root, alpha}, "collapsed")):
        w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row", row, "--column", 0,
                  "--x", 2 * 18 + 6 + 5, "--double")
        w.settle()
        w.expect(w.rows(FOLDERS) == expected.tree_rows(expanded),
                 "a double click on inner's box should leave it %s:\n%s" % (state, w.rows(FOLDERS)))
    file_row = row_of(w.rows(FOLDERS), alpha + "\\alpha-05.dat")
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row", file_row, "--double")
    w.settle()
    w.expect(w.rows(FOLDERS) == expected.tree_rows({root, alpha}), "a double click on a file changes nothing")
    # Flip the order twice through the share header.
    w.s.drive("header-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--column", 1)
    w.settle()
    report = w.report()
    w.expect(w.control(FOLDERS, report)["columns"][1] == w.texts["column.share_asc"],
             "flipped header reads %r" % w.control(FOLDERS, report)["columns"][1])
    w.expect(w.rows(FOLDERS, report) == expected.tree_rows({root, alpha}, descending=False),
             "ascending order:\n%s" % w.rows(FOLDERS, report))
    w.s.drive("header-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--column", 1)
    w.settle()
    report = w.report()
    w.expect(w.rows(FOLDERS, report) == expected.tree_rows({root, alpha}) and
             w.control(FOLDERS, report)["columns"][1] == w.texts["column.share_desc"],
             "two header clicks restore the order")
    # alpha selected again (a click on its size), then a Files row: Open
    # is enabled.
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row",
              row_of(w.rows(FOLDERS), alpha), "--column", 2)
    w.settle()
    w.expect(w.rows(FILES) == selected.file_rows(), "alpha's files after selecting it again")
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FILES, "--row", 0)
    w.settle()
    w.expect(w.control(OPEN)["enabled"], "a selected Files row enables Open")
    # The order flipped and back with alpha still selected: its rankings are
    # the same and stay as they are, the Files row selected with them.
    for flip in ("flipped", "flipped back"):
        w.s.drive("header-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--column", 1)
        w.settle()
        w.expect(w.control(OPEN)["enabled"], "the order %s: the Files row is still selected" % flip)
    shot, cropped, window = w.screenshot_window("ombrix-dark")
    x, y = window["clientOrigin"]
    folders = w.control(FOLDERS)["rect"]
    header = GuiSession.pixel(shot, x + folders[0] + 20, y + folders[1] + 4)
    w.expect(header == DARK["header"], "dark header background is %#08x, not %#08x; windows: %s"
             % (header, DARK["header"], [(o["class"], o["rect"]) for o in w.s.drive("windows")]))
    w.expect(w.size_captions_drawn(shot, window), "dark: the size columns' captions are drawn")
    print("dark screenshot: %s" % cropped)
    # Open on that file: the file manager is started with it selected
    # (ShellExecuteW of explorer.exe by its full path); no failure is told.
    before = set(win["hwnd"] for win in w.s.drive("windows"))
    w.s.drive("click", "--hwnd", w.hwnd, "--id", OPEN)
    time.sleep(3)
    opened = [win for win in w.s.drive("windows") if win["hwnd"] not in before]
    w.expect(w.status() != w.texts["status.open_failed"], "Open on a file: status %r" % w.status())
    w.s.screenshot("open-file")
    print("Open on %s: new windows %s" % (w.rows(FILES)[0][3], [(o["class"], o["title"]) for o in opened]))
    for win in opened:
        w.s.drive("close", "--hwnd", win["hwnd"], allow_failure=True)
    w.settle(1.0)


def phase_drop(w, data_win, data_path):
    what = "drop"
    # A file is no folder: the status says so and nothing else changes.
    w.s.drive("drop", "--hwnd", w.hwnd, "--path", data_win + "\\loose-0.txt")
    w.settle()
    w.expect(w.status() == w.texts["status.drop_folder"], "%s of a file: status %r" % (what, w.status()))
    # The folder under another letter case: one recent entry, moved first.
    upper = data_win.upper()
    w.s.drive("drop", "--hwnd", w.hwnd, "--path", data_win + "\\loose-0.txt", "--path2", upper)
    w.settle()
    report = w.report()
    w.expect(w.control(SELECTOR, report)["items"][1] == w.texts["combo.folder_prefix"] + upper,
             "%s: selector %s" % (what, w.control(SELECTOR, report)["items"][:2]))
    saved = w.s.read_settings()["recentFolders"]
    w.expect(saved[0] == upper and sum(1 for p in saved if p.lower() == data_win.lower()) == 1,
             "%s: recent folders %s" % (what, saved))


def phase_menu_ampersand(w, ampersand_win):
    """A folder with '&' in its name, dropped, heads File > Recent folders;
    the menu is opened from the keyboard for a screenshot (Wine keeps menus
    inside the program, so only a picture shows it)."""
    w.s.drive("drop", "--hwnd", w.hwnd, "--path", ampersand_win)
    w.settle()
    saved = w.s.read_settings()["recentFolders"]
    w.expect(saved[0] == ampersand_win, "'&' folder first in the recent list: %s" % saved[:1])
    w.s.drive("post", "--hwnd", w.hwnd, "--message", 0x0112, "--wparam", 0xF100, "--lparam", ord("f"))
    w.settle()
    # Past Open scan and Save scan to Recent folders, then into it.
    for _ in range(2):
        w.s.drive("post", "--hwnd", w.hwnd, "--message", 0x0100, "--wparam", 0x28)  # VK_DOWN
        w.settle(0.3)
    w.s.drive("post", "--hwnd", w.hwnd, "--message", 0x0100, "--wparam", 0x27)  # VK_RIGHT
    w.settle()
    print("recent folders menu: %s" % w.s.screenshot("menu-recent-ampersand"))
    for _ in range(3):
        w.s.drive("post", "--hwnd", w.hwnd, "--message", 0x0100, "--wparam", 0x1B)  # VK_ESCAPE
        w.settle(0.3)


def phase_cancel(w, big_win):
    what = "cancelled scan"
    # Dropped, so it joins the recent folders too.
    w.s.drive("drop", "--hwnd", w.hwnd, "--path", big_win)
    w.settle()
    w.s.drive("click", "--hwnd", w.hwnd, "--id", SCAN)
    deadline = time.monotonic() + 30
    line = ""
    while time.monotonic() < deadline:
        line = w.status()
        if line.startswith(w.texts["status.scanning_files"]):
            break
        time.sleep(0.1)
    w.expect(line.startswith(w.texts["status.scanning_files"]), "%s: progress line %r" % (what, line))
    report = w.report()
    w.expect(w.control(CANCEL, report)["enabled"] and not w.control(SCAN, report)["enabled"] and
             not w.control(SELECTOR, report)["enabled"], "%s: inputs while scanning" % what)
    w.s.drive("click", "--hwnd", w.hwnd, "--id", CANCEL)
    report = w.wait_scan_end()
    line = w.status(report)
    w.expect(line.startswith(w.texts["status.cancelled"]), "%s: status %r" % (what, line))
    tree = w.rows(FOLDERS, report)
    w.expect(len(tree) >= 1 and tree[0][-1] == big_win, "%s: the partial tree's root row %s" % (what, tree[:1]))
    w.expect(w.rows(FILES, report) == [] and w.rows(SUBFOLDERS, report) == [],
             "%s: the rankings stay empty" % what)
    print("cancelled: %r, %d rows in the partial tree" % (line, len(tree)))
    # Selecting a row fills them.
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row", 0, "--column", 2)
    w.settle()
    report = w.report()
    w.expect(len(w.rows(SUBFOLDERS, report)) > 0, "%s: selecting the root ranks the partial tree" % what)
    return line


def phase_long_path(w, long_win):
    what = "long path"
    saved = w.s.read_settings()["recentFolders"]
    w.choose_recent(saved.index(long_win))
    report = w.report()
    w.expect(w.control(SELECTOR, report)["items"][1] == w.texts["combo.folder_prefix"] + long_win,
             "%s: chosen from the recent list (%d characters)" % (what, len(long_win)))
    report = w.scan(what)
    tree = w.rows(FOLDERS, report)
    w.expect([row[0] for row in tree[1:]] == ["inside", "top-file.bin"],
             "%s: tree rows %s" % (what, [row[0] for row in tree]))
    files = w.rows(FILES, report)
    w.expect([row[4] for row in files] == [long_win + "\\inside\\deep-file.bin", long_win + "\\top-file.bin"],
             "%s: Files list paths" % what)
    # Open on a folder of that depth and a file in it: the window stays and
    # the outcome is told or the file manager starts.
    outcomes = []
    for cid in (SUBFOLDERS, FILES):
        before = set(win["hwnd"] for win in w.s.drive("windows"))
        w.s.drive("list-click", "--hwnd", w.hwnd, "--id", cid, "--row", 0)
        w.settle(0.3)
        w.s.drive("click", "--hwnd", w.hwnd, "--id", OPEN)
        time.sleep(3)
        status = w.status()
        opened = [win for win in w.s.drive("windows") if win["hwnd"] not in before]
        w.s.screenshot("open-long-%d" % cid)
        outcomes.append((cid, status, [win["class"] for win in opened]))
        w.expect(status in ("", w.texts["status.open_failed"]) or status.startswith(w.texts["status.completed"]),
                 "%s: status after Open %r" % (what, status))
        for win in opened:
            if win["pid"] != w.s.drive("windows", "--class", MAIN)[0]["pid"]:
                w.s.drive("close", "--hwnd", win["hwnd"], allow_failure=True)
    w.expect(w.s.drive("windows", "--class", MAIN) != [], "%s: the window is still there" % what)
    print("Open on the long path: %s" % outcomes)


def phase_language_and_theme(w, expected, cancelled_line):
    what = "language"
    w.s.drive("command", "--hwnd", w.hwnd, "--id", GERMAN)
    w.settle(1.0)
    german = w.s.language("de-DE")
    report = w.report()
    w.expect(w.control(SCAN, report)["text"] == german["toolbar.scan"], "%s: Scan caption" % what)
    w.expect(w.control(FILES, report)["columns"] ==
             [german[k] for k in ("column.share", "column.size", "column.on_disk", "column.file_name",
                                  "column.full_path")],
             "%s: Files columns %s" % (what, w.control(FILES, report)["columns"]))
    w.expect(w.control(FOLDERS, report)["columns"][1] == german["column.share_desc"], "%s: share header" % what)
    w.expect(w.status(report).startswith(german["status.completed"]), "%s: status %r" % (what, w.status(report)))
    w.expect(w.control(SELECTOR, report)["items"][0] == german["combo.all_local_drives"], "%s: selector" % what)
    w.expect(w.s.read_settings()["language"] == "de-DE", "%s: saved" % what)
    what = "theme"
    w.s.drive("command", "--hwnd", w.hwnd, "--id", THEME_LIGHT)
    w.settle(1.0)
    report = w.report()
    w.expect(all(w.control(c, report)["backgroundColour"] == LIGHT["cell"] for c in (FOLDERS, FILES, SUBFOLDERS)),
             "%s: lists in the light colours" % what)
    w.expect(w.s.read_settings()["theme"] == "Light", "%s: saved" % what)
    # The data folder again, in German, for the light screenshot.
    saved = w.s.read_settings()["recentFolders"]
    position = [p.lower() for p in saved].index(expected.root.lower())
    w.choose_recent(position)
    w.s.drive("click", "--hwnd", w.hwnd, "--id", SCAN)
    report = w.wait_scan_end()
    w.expect(w.status(report).startswith(german["status.completed"] + " - "), "%s: German completion line" % what)
    root_row = w.rows(FOLDERS, report)[0]
    node = expected.nodes[expected.root]
    w.expect(root_row[1:6] == [share(1, 1, "de-DE"), size(node["size"], "de-DE"),
                               size(node["sizeOnDisk"], "de-DE"),
                               count(node["fileCount"], "de-DE"), count(node["folderCount"], "de-DE")],
             "%s: German numbers %s" % (what, root_row))
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", FOLDERS, "--row", 1, "--double")
    w.settle()
    w.s.drive("list-click", "--hwnd", w.hwnd, "--id", SUBFOLDERS, "--row", 0)
    w.settle()
    shot, cropped, window = w.screenshot_window("ombrix-light")
    x, y = window["clientOrigin"]
    folders = w.control(FOLDERS)["rect"]
    header = GuiSession.pixel(shot, x + folders[0] + 20, y + folders[1] + 4)
    w.expect(header == LIGHT["header"], "light header background is %#08x, not %#08x; windows: %s"
             % (header, LIGHT["header"], [(o["class"], o["rect"]) for o in w.s.drive("windows")]))
    w.expect(w.size_captions_drawn(shot, window), "light: the size columns' captions are drawn")
    # The selected Subfolders row in the palette's selection colour, in the
    # cells the control draws as well as in the drawn share bar cell.
    sub = w.control(SUBFOLDERS)["rect"]
    for dx in (4, 130):
        pixel = GuiSession.pixel(shot, x + sub[0] + dx, y + sub[1] + 30)
        w.expect(pixel in (LIGHT["selected"],), "selected row at +%d is %#08x, not %#08x" % (dx, pixel, LIGHT["selected"]))
    print("light screenshot: %s" % cropped)
    # Back to English and Dark for whoever looks next.
    w.s.drive("command", "--hwnd", w.hwnd, "--id", 1201)
    w.s.drive("command", "--hwnd", w.hwnd, "--id", THEME_DARK)


def run(options, check):
    if options.platform != "windows":
        print("the window exists only in the Windows build; nothing to check")
        return
    session = GuiSession(options.build_dir, "scan-window")
    session.start_server()
    try:
        session.lay_out_app()
        pathlib.Path(session.app / "ombrix-scan.exe").write_bytes(
            (session.build / "tools" / "ombrix-scan.exe").read_bytes())
        drive_c = session.prefix / "drive_c"
        for name in (DATA, BIG, "e2e-long", AMPERSAND):
            subprocess.run(["rm", "-rf", str(drive_c / name)], check=True)
        (drive_c / AMPERSAND).mkdir()
        make_data(drive_c / DATA)
        make_big(drive_c / BIG)
        long_folder = make_long(drive_c / "e2e-long")
        data_win = windows_path(session, drive_c / DATA)
        big_win = windows_path(session, drive_c / BIG)
        long_win = windows_path(session, long_folder)
        print("long folder: %d characters" % len(long_win))
        # One thread per drive: the large tree's scan lasts long enough to be
        # cancelled by a driver that needs a Wine start for every action.
        session.write_settings(theme="Dark", threads=1)
        settings = session.read_settings()
        settings["recentFolders"] = [data_win, long_win]
        session.settings_path.write_text(json.dumps(settings, indent=2), encoding="utf-8")
        w = ScanWindow(session, check, options)
        w.start()
        try:
            expected = None
            cancelled = ""
            steps = [
                ("recent and compare", lambda: phase_recent_and_compare(w, data_win, long_win)),
            ]
            for name, step in steps:
                expected = step()
            for name, step in (("tree", lambda: phase_tree(w, expected)),
                               ("drop", lambda: phase_drop(w, data_win, drive_c / DATA)),
                               ("menu", lambda: phase_menu_ampersand(
                                   w, windows_path(session, drive_c / AMPERSAND))),
                               ("cancel", lambda: phase_cancel(w, big_win)),
                               ("long path", lambda: phase_long_path(w, long_win)),
                               ("language and theme",
                                lambda: phase_language_and_theme(w, expected, cancelled))):
                try:
                    step()
                except (DriverError, subprocess.TimeoutExpired, KeyError, IndexError, ValueError,
                        TypeError) as error:
                    check.expect(False, "%s: %r" % (name, error))
        finally:
            w.stop()
    except (DriverError, subprocess.TimeoutExpired, KeyError, IndexError, ValueError,
            TypeError) as error:
        check.expect(False, "scan window: %r" % error)
    finally:
        session.stop_server()
    print("screenshots: %s" % session.shots)


if __name__ == "__main__":
    check_main(run)
