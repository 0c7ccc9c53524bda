"""The real Ombrix window under Wine, as a user meets it: the main window's
controls, texts (in two languages), layout and colours at 96 and 144 DPI, the splitters dragged, a DPI change, a small screen, the scan
settings and About dialogs opened, used and closed, and the start-up
privilege dialog with both roads of the elevated restart. Screenshots land
in <build>/tests/ui/gui/screenshots for a person to look at. (Wine keeps a
menu inside its own process, so the menu bar is checked by the in-process
tests, main_window_win_test.cpp.)"""
import pathlib
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "support"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

from gui_session import DriverError, GuiSession, check_main, child  # noqa: E402

MAIN = "Ombrix.MainWindow"
SCAN_SETTINGS = "Ombrix.ScanSettingsDialog"
ABOUT = "Ombrix.AboutDialog"
STARTUP = "Ombrix.StartupPrivilegeDialog"

WS_DISABLED = 0x08000000
WS_EX_CLIENTEDGE = 0x200
LVS_REPORT = 0x1
LVS_SINGLESEL = 0x4
LIST_EX_STYLES = 0x10021


def rgb(value):
    """#RRGGBB as a COLORREF."""
    return int(value[1:3], 16) | int(value[3:5], 16) << 8 | int(value[5:7], 16) << 16


def scale(value, dpi):
    return (value * dpi + 48) // 96


class MainWindowChecks:
    def __init__(self, session, check):
        self.s = session
        self.check = check

    def expect(self, condition, message):
        return self.check.expect(condition, message)

    def start_main(self, what):
        process = self.s.launch("ombrix.exe")
        window = self.s.wait_window(MAIN, timeout_ms=40000)
        self.expect(window["pid"] != 0, what + ": main window found")
        return process, window

    def close_main(self, process, window, what):
        self.s.drive("command", "--hwnd", window["hwnd"], "--id", 1011)  # File > Exit
        try:
            code = process.wait(timeout=30)
        except Exception:  # noqa: BLE001 - a hung window is a failure
            self.expect(False, what + ": the program did not end after File > Exit")
            return
        self.expect(code == 0, "%s: exit code %d after File > Exit" % (what, code))

    # The main window -------------------------------------------------------

    def check_controls(self, report, texts, palette, dpi, what):
        m, g = scale(8, dpi), scale(6, dpi)
        client_w, client_h = report["client"][2], report["client"][3]
        # The DPI shows in the geometry below; what GetDpiForWindow answers
        # another process under Wine depends on the asker, not the window.
        controls = {cid: child(report, cid) for cid in range(1001, 1010)}
        missing = [cid for cid, c in controls.items() if c is None]
        if not self.expect(not missing, "%s: controls missing: %s" % (what, missing)):
            return
        classes = {1001: "ComboBox", 1002: "Button", 1003: "Button", 1004: "Button",
                   1005: "SysListView32", 1006: "SysListView32", 1007: "SysListView32",
                   1008: "msctls_statusbar32", 1009: "Button"}
        for cid, name in classes.items():
            self.expect(controls[cid]["class"] == name,
                        "%s: control %d is %s" % (what, cid, controls[cid]["class"]))
        captions = {1002: "toolbar.scan", 1003: "toolbar.cancel", 1004: "toolbar.folder",
                    1009: "toolbar.open"}
        for cid, key in captions.items():
            self.expect(controls[cid]["text"] == texts[key], "%s: button %d reads %r, not %r"
                        % (what, cid, controls[cid]["text"], texts[key]))
        enabled = {1001: True, 1002: True, 1004: True, 1003: False, 1009: False}
        for cid, state in enabled.items():
            self.expect(controls[cid]["enabled"] == state, "%s: control %d enabled is %s"
                        % (what, cid, controls[cid]["enabled"]))
        for cid in (1005, 1006, 1007):
            lst = controls[cid]
            self.expect(lst["style"] & (LVS_REPORT | LVS_SINGLESEL) == LVS_REPORT | LVS_SINGLESEL,
                        "%s: list %d is a single-selection report view" % (what, cid))
            self.expect(lst["exStyle"] & WS_EX_CLIENTEDGE, "%s: list %d has a client edge" % (what, cid))
            self.expect(lst["listExStyle"] & LIST_EX_STYLES == LIST_EX_STYLES,
                        "%s: list %d extended styles %#x" % (what, cid, lst["listExStyle"]))
            self.expect(lst["backgroundColour"] == palette["cell"] and
                        lst["textBackgroundColour"] == palette["cell"] and
                        lst["textColour"] == palette["text"],
                        "%s: list %d colours %#x/%#x/%#x" % (what, cid, lst["backgroundColour"],
                                                           lst["textBackgroundColour"],
                                                           lst["textColour"]))
        # The arrangement: tool row, then Folders left, Files over Subfolders.
        combo, folder, scan, cancel, open_ = (controls[i]["rect"] for i in (1001, 1004, 1002, 1003, 1009))
        folders, files, subfolders = (controls[i]["rect"] for i in (1005, 1006, 1007))
        row = scale(28, dpi)
        self.expect(combo[0] == m and combo[1] == m, "%s: selector at %s" % (what, combo[:2]))
        self.expect(scale(300, dpi) <= combo[2] <= scale(460, dpi), "%s: selector width %d" % (what, combo[2]))
        self.expect(folder[0] == combo[0] + combo[2] + m and scan[0] == folder[0] + folder[2] + m and
                    cancel[0] == scan[0] + scan[2] + m and open_[0] == cancel[0] + cancel[2] + 5 * m,
                    "%s: buttons at x %s" % (what, [folder[0], scan[0], cancel[0], open_[0]]))
        for name, rect in (("Folder", folder), ("Scan", scan), ("Cancel", cancel), ("Open", open_)):
            self.expect(rect[1] == m and rect[3] == row, "%s: %s button at y %d, %d high" % (what, name, rect[1], rect[3]))
        top = scale(36, dpi) + m
        find_box = child(report, 1016)
        self.expect(find_box is not None and find_box["class"] == "Edit" and
                    find_box["rect"] == [m, top, folders[2], scale(24, dpi)],
                    "%s: find box at %s" % (what, find_box and find_box["rect"]))
        folders_top = top + scale(24, dpi) + scale(6, dpi)
        self.expect(folders[0] == m and folders[1] == folders_top,
                    "%s: Folders list at %s" % (what, folders[:2]))
        status = controls[1008]["rect"]
        self.expect(folders[1] + folders[3] == status[1] - m,
                    "%s: Folders list ends at %d, not a margin above the status bar at %d"
                    % (what, folders[1] + folders[3], status[1]))
        self.expect(files[0] == folders[0] + folders[2] + g + m and files[1] == top and
                    files[0] + files[2] == client_w - m, "%s: Files list at %s" % (what, files))
        self.expect(subfolders[0] == files[0] and subfolders[1] == files[1] + files[3] + g and
                    subfolders[1] + subfolders[3] == folders[1] + folders[3],
                    "%s: Subfolders list at %s" % (what, subfolders))
        self.expect(status[1] + status[3] == client_h and status[2] == client_w,
                    "%s: status bar docked at the bottom: %s" % (what, status))
        self.expect(controls[1008]["statusText"] == texts["status.ready"],
                    "%s: status bar starts with %r" % (what, controls[1008]["statusText"]))
        return controls

    def check_painting(self, shot, window, controls, palette, what):
        ox, oy = window["clientOrigin"]
        folders = controls[1005]["rect"]
        m = folders[0]
        g = controls[1006]["rect"][0] - (folders[0] + folders[2]) - m
        splitter_x = ox + folders[0] + folders[2]
        y = oy + folders[1] + 40
        samples = {"window background": (ox + 2, oy + folders[1] + 10, palette["background"]),
                   "splitter": (splitter_x, y, palette["splitter"]),
                   "splitter line": (splitter_x + g // 2, y, palette["splitterLine"])}
        for name, (x, y_, expected) in samples.items():
            actual = GuiSession.pixel(shot, x, y_)
            self.expect(actual == expected, "%s: %s is %#08x, not %#08x" % (what, name, actual, expected))

    # Dialogs ---------------------------------------------------------------

    def scan_settings_dialog(self, main, texts, dpi, what):
        self.s.drive("command", "--hwnd", main["hwnd"], "--id", 1012)
        dialog = self.s.wait_window(SCAN_SETTINGS)
        report = self.s.report(dialog["hwnd"])
        self.expect(report["title"] == texts["dialog.scan_settings.title"], what + ": scan settings title")
        self.expect(report["client"][2:] == [scale(450, dpi), scale(210, dpi)],
                    "%s: scan settings client %s" % (what, report["client"]))
        label = next(c for c in report["children"] if c["text"] == texts["dialog.scan_settings.threads_per_drive"])
        self.expect(label["rect"] == [scale(16, dpi), scale(18, dpi), scale(180, dpi), scale(22, dpi)],
                    "%s: thread label at %s" % (what, label["rect"]))
        combo = child(report, 2001)
        maximum = len(combo["items"])
        self.expect(combo["items"] == [str(n) for n in range(1, maximum + 1)] and maximum >= 1,
                    "%s: thread counts %s" % (what, combo["items"]))
        self.expect(combo["selection"] == min(2, maximum) - 1, "%s: selection %d" % (what, combo["selection"]))
        range_text = texts["dialog.scan_settings.range_prefix"] + " " + str(maximum)
        self.expect(any(c["text"] == range_text for c in report["children"]), "%s: range %r" % (what, range_text))
        main_now = self.s.drive("windows", "--class", MAIN)[0]
        self.expect(not main_now["enabled"], what + ": the main window is disabled under the dialog")
        self.s.screenshot("scan-settings-%d" % dpi)
        return dialog, report

    def use_scan_settings(self, main, texts, what):
        dialog, report = self.scan_settings_dialog(main, texts, 96, what)
        hwnd = dialog["hwnd"]
        self.expect(child(report, 2002)["checked"] == 1 and child(report, 2004)["checked"] == 0,
                    what + ": boxes show the settings (ask on, always off)")
        self.s.drive("click", "--hwnd", hwnd, "--id", 2004)
        boxes = self.s.report(hwnd)
        ask = child(boxes, 2002)
        self.expect(child(boxes, 2004)["checked"] == 1 and ask["checked"] == 0 and not ask["enabled"],
                    what + ": ticking 'always' clears and greys 'ask'")
        self.s.drive("click", "--hwnd", hwnd, "--id", 2004)
        ask = child(self.s.report(hwnd), 2002)
        self.expect(ask["enabled"] and ask["checked"] == 0, what + ": unticking 'always' re-enables 'ask', unticked")
        # No thread count: OK warns and keeps the dialog.
        self.s.drive("select", "--hwnd", hwnd, "--id", 2001, "--index", -1)
        self.s.drive("click", "--hwnd", hwnd, "--id", 1)
        warning = self.s.wait_window("#32770")
        warning_report = self.s.report(warning["hwnd"])
        self.expect(warning_report["title"] == "Ombrix" and
                    any(c["text"] == texts["dialog.scan_settings.invalid_threads"]
                        for c in warning_report["children"]),
                    what + ": the invalid-thread warning")
        self.s.screenshot("scan-settings-invalid-threads")
        self.s.drive("close", "--hwnd", warning["hwnd"])
        self.s.wait_gone("#32770")
        self.expect(self.s.drive("windows", "--class", SCAN_SETTINGS) != [], what + ": the dialog stays open")
        self.s.drive("select", "--hwnd", hwnd, "--index", 0, "--id", 2001)
        self.s.drive("click", "--hwnd", hwnd, "--id", 1)
        self.expect(self.s.wait_gone(SCAN_SETTINGS), what + ": OK closes the dialog")
        scan = self.s.settled_settings(lambda saved: saved["scan"]["threadsPerDrive"] == 1)["scan"]
        self.expect(scan == {"threadsPerDrive": 1, "showAdminPromptOnStartup": False,
                             "suppressAdminPrompt": False, "alwaysStartAsAdministrator": False},
                    "%s: saved scan settings %s" % (what, scan))
        self.expect(self.s.drive("windows", "--class", MAIN)[0]["enabled"], what + ": main window enabled again")

    def about_dialog(self, main, texts, dpi, what):
        self.s.drive("command", "--hwnd", main["hwnd"], "--id", 1013)
        dialog = self.s.wait_window(ABOUT)
        report = self.s.report(dialog["hwnd"])
        statics = [c["text"] for c in report["children"] if c["class"] == "Static"]
        self.expect(report["title"] == texts["dialog.about.title"], what + ": About title")
        self.expect(statics[:2] == ["Ombrix Free Edition", texts["dialog.about.version_prefix"] + "v1.01"],
                    "%s: About reads %s" % (what, statics[:2]))
        license_box = child(report, 2101)
        expected = texts["dialog.about.license"].replace("\u2029", "\r\n\r\n")
        self.expect(license_box is not None and license_box["text"] == expected,
                    what + ": the licence, paragraphs apart")
        self.expect(report["client"][2:] == [scale(520, dpi), scale(450, dpi)],
                    "%s: About client %s" % (what, report["client"]))
        self.s.screenshot("about-%d" % dpi)
        self.s.drive("click", "--hwnd", dialog["hwnd"], "--id", 1)
        self.expect(self.s.wait_gone(ABOUT), what + ": Close ends the About dialog")

    # Splitters and a DPI change ------------------------------

    def drag(self, hwnd, start, end):
        self.s.drive("mouse", "--hwnd", hwnd, "--event", "down", "--x", start[0], "--y", start[1])
        self.s.drive("mouse", "--hwnd", hwnd, "--event", "move", "--x", end[0], "--y", end[1])
        self.s.drive("mouse", "--hwnd", hwnd, "--event", "up", "--x", end[0], "--y", end[1])
        return self.s.report(hwnd)

    def splitters(self, main, controls, what):
        hwnd = main["hwnd"]
        client_w = main["client"][2]
        folders = controls[1005]["rect"]
        grip = (folders[0] + folders[2] + 3, folders[1] + 50)
        far_left = child(self.drag(hwnd, grip, (0, grip[1])), 1005)["rect"]
        self.expect(far_left[2] == 180, "%s: Folders list dragged left stops at 180: %d" % (what, far_left[2]))
        grip = (far_left[0] + far_left[2] + 3, grip[1])
        report = self.drag(hwnd, grip, (client_w + 50, grip[1]))
        far_right = child(report, 1005)["rect"]
        self.expect(far_right[2] == client_w - 3 * 8 - 320 - 6,
                    "%s: dragged right, the right pane keeps 320: %d" % (what, far_right[2]))
        files = child(report, 1006)["rect"]
        grip = (files[0] + 20, files[1] + files[3] + 3)
        files_after = child(self.drag(hwnd, grip, (grip[0], 0)), 1006)["rect"]
        self.expect(files_after[3] == 120, "%s: Files list dragged up stops at 120: %d" % (what, files_after[3]))

    def dpi_change(self, main, what):
        # From a splitter position that fits the window at both DPIs.
        folders = child(self.s.report(main["hwnd"]), 1005)["rect"]
        grip = (folders[0] + folders[2] + 3, folders[1] + 50)
        before = self.drag(main["hwnd"], grip, (300, grip[1]))
        left_before = child(before, 1005)["rect"][2]
        x, y = main["rect"][0], main["rect"][1]
        self.s.drive("dpi-changed", "--hwnd", main["hwnd"], "--dpi", 144,
                     "--rect", "%d,%d,%d,%d" % (x, y, x + 1200, y + 800))
        after = self.s.report(main["hwnd"])
        combo = child(after, 1001)["rect"]
        self.expect(combo[:2] == [12, 12] and child(after, 1002)["rect"][3] == 42,
                    "%s: laid out at 144 DPI after WM_DPICHANGED: %s" % (what, combo))
        left_after = child(after, 1005)["rect"][2]
        self.expect(left_after == (left_before * 3 + 1) // 2,
                    "%s: the splitter keeps its proportion: %d -> %d" % (what, left_before, left_after))
        self.s.screenshot("main-after-dpi-change")


PALETTES = {
    "MysticForest": {"cell": rgb("#242B34"), "text": rgb("#EBEEF4"), "background": rgb("#1D2229"),
                     "splitter": rgb("#2D313A"), "splitterLine": rgb("#667080")},
}


def phase_96(session, checks):
    what = "96 DPI"
    session.start_server(dpi=96)
    session.write_settings(language="en-US")
    texts = session.language("en-US")
    process, main = checks.start_main(what)
    checks.expect(main["title"] == "Ombrix [Administrator]", "%s: title %r (Wine runs elevated)" % (what, main["title"]))
    report = session.report(main["hwnd"])
    controls = checks.check_controls(report, texts, PALETTES["MysticForest"], 96, what)
    shot = session.screenshot("main-96")
    if controls:
        checks.check_painting(shot, report, controls, PALETTES["MysticForest"], what)
        checks.splitters(main, controls, what)
    checks.use_scan_settings(main, texts, what)
    checks.about_dialog(main, texts, 96, what)
    checks.dpi_change(main, what)
    checks.close_main(process, main, what)


def phase_144(session, checks):
    what = "144 DPI"
    session.start_server(dpi=144)
    session.write_settings(language="de-DE")
    texts = session.language("de-DE")
    process, main = checks.start_main(what)
    # 1280 x 720 scaled by 1.5, capped at 80 % of the 1280 x 1024 screen.
    checks.expect(main["rect"] == [128, 102, 1024, 819],
                  "%s: window at %s (the start size scaled, within the work area)" % (what, main["rect"]))
    report = session.report(main["hwnd"])
    checks.check_controls(report, texts, PALETTES["MysticForest"], 144, what)
    session.screenshot("main-144")
    dialog, _ = checks.scan_settings_dialog(main, texts, 144, what)
    session.drive("click", "--hwnd", dialog["hwnd"], "--id", 2)
    checks.expect(session.wait_gone(SCAN_SETTINGS), what + ": Cancel closes scan settings")
    checks.about_dialog(main, texts, 144, what)
    checks.close_main(process, main, what)
    startup_dialog(session, checks, texts, 144)


def startup_dialog(session, checks, texts, dpi):
    """The harness runs without administrator rights: the prompt appears
    over the main window; ticking the box and choosing standard rights
    keeps this instance and silences the prompt."""
    what = "start-up prompt at %d DPI" % dpi
    session.write_settings(language="de-DE" if dpi == 144 else "en-US")
    process = session.launch("ombrix-startup-harness.exe", {"OMBRIX_TEST_CONSENT": "decline"})
    dialog = session.wait_window(STARTUP, timeout_ms=40000)
    main = session.drive("windows", "--class", MAIN)[0]
    checks.expect(main["title"] == "Ombrix" and not main["enabled"],
                  "%s: main window %r behind it, disabled" % (what, main["title"]))
    report = session.report(dialog["hwnd"])
    checks.expect(report["title"] == texts["dialog.startup.title"], what + ": title")
    checks.expect(report["client"][2:] == [scale(520, dpi), scale(270, dpi)], "%s: client %s" % (what, report["client"]))
    expected = [texts[k] for k in ("dialog.startup.prompt", "dialog.startup.admin.heading",
                                    "dialog.startup.admin.description", "dialog.startup.standard.heading",
                                    "dialog.startup.standard.description", "dialog.startup.dont_show_again",
                                    "dialog.startup.admin.heading", "dialog.startup.standard.heading")]
    checks.expect([c["text"] for c in report["children"]] == expected, "%s: texts %s" % (what, [c["text"] for c in report["children"]]))
    session.screenshot("startup-%d" % dpi)
    session.drive("click", "--hwnd", dialog["hwnd"], "--id", 2053)
    session.drive("click", "--hwnd", dialog["hwnd"], "--id", 2052)
    checks.expect(session.wait_gone(STARTUP), what + ": standard rights closes the prompt")
    scan = session.settled_settings(lambda saved: saved["scan"]["suppressAdminPrompt"])["scan"]
    checks.expect(not scan["showAdminPromptOnStartup"] and scan["suppressAdminPrompt"],
                  "%s: 'don't ask again' saved: %s" % (what, scan))
    checks.expect(session.drive("windows", "--class", MAIN)[0]["enabled"], what + ": main window usable")
    checks.close_main(process, main, what)


def wait_for_lines(path, count, timeout=10):
    """The file's words once it has `count` of them (or what it has then)."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if path.exists() and len(path.read_text().split()) >= count:
            break
        time.sleep(0.2)
    return path.read_text().split() if path.exists() else []


def phase_startup_96(session, checks):
    startup_dialog(session, checks, session.language("en-US"), 96)


def button_row(report, ids):
    return [child(report, i)["rect"] for i in ids]


def check_button_row(checks, rects, minimum_widths, client_width, what):
    """Buttons at least as wide as written, side by side, inside the dialog."""
    for rect, minimum in zip(rects, minimum_widths):
        checks.expect(rect[2] >= minimum, "%s: button %s narrower than %d" % (what, rect, minimum))
        checks.expect(rect[0] >= 0 and rect[0] + rect[2] <= client_width, "%s: button %s outside" % (what, rect))
    for left, right in zip(rects, rects[1:]):
        checks.expect(left[0] + left[2] < right[0], "%s: buttons %s and %s overlap" % (what, left, right))


def phase_translated_dialogs(session, checks):
    """The dialogs whose texts were longest: the start-up prompt in Russian
    (its administrator button was cut off) and the scan settings in
    Italian, pictured for a person to read."""
    what = "start-up prompt in ru-RU"
    texts = session.language("ru-RU")
    session.write_settings(language="ru-RU")
    process = session.launch("ombrix-startup-harness.exe", {"OMBRIX_TEST_CONSENT": "decline"})
    dialog = session.wait_window(STARTUP, timeout_ms=40000)
    report = session.report(dialog["hwnd"])
    rects = button_row(report, (2051, 2052))
    check_button_row(checks, rects, (130, 130), report["client"][2], what)
    checks.expect(rects[0][2] > 130, "%s: the administrator button grew for %r: %s"
                  % (what, texts["dialog.startup.admin.heading"], rects[0]))
    session.screenshot("startup-ru-RU")
    session.drive("click", "--hwnd", dialog["hwnd"], "--id", 2052)
    checks.expect(session.wait_gone(STARTUP), what + ": closed")
    main = session.drive("windows", "--class", MAIN)[0]
    checks.close_main(process, main, what)

    what = "scan settings in it-IT"
    texts = session.language("it-IT")
    session.write_settings(language="it-IT")
    process, main = checks.start_main(what)
    session.drive("command", "--hwnd", main["hwnd"], "--id", 1012)
    dialog = session.wait_window(SCAN_SETTINGS)
    report = session.report(dialog["hwnd"])
    checks.expect([child(report, i)["text"] for i in (2002, 2004)] ==
                  [texts["dialog.scan_settings.ask_admin"], texts["dialog.scan_settings.always_admin"]],
                  what + ": the check boxes' texts")
    check_button_row(checks, button_row(report, (1, 2)), (80, 90), report["client"][2], what)
    session.screenshot("scan-settings-it-IT")
    session.drive("click", "--hwnd", dialog["hwnd"], "--id", 2)
    checks.expect(session.wait_gone(SCAN_SETTINGS), what + ": Cancel closes it")
    checks.close_main(process, main, what)


def relaunch(session, checks):
    what = "elevated restart"
    # Always elevated, consent declined: no prompt, the instance goes on.
    session.write_settings(always=True)
    process = session.launch("ombrix-startup-harness.exe", {"OMBRIX_TEST_CONSENT": "decline"})
    main = session.wait_window(MAIN, timeout_ms=40000)
    attempts = (session.app / "launch-attempts.txt")
    checks.expect(wait_for_lines(attempts, 1) == ["declined"],
                  what + ": declined consent leaves the window running")
    checks.expect(session.drive("windows", "--class", STARTUP) == [], what + ": no prompt when always elevated")
    checks.close_main(process, main, what + " declined")
    # The prompt's administrator button: Wine's "runas" starts the program
    # again at once; this instance ends with 0 and a new one takes over.
    session.write_settings()
    process = session.launch("ombrix-startup-harness.exe")
    dialog = session.wait_window(STARTUP, timeout_ms=40000)
    first_pid = dialog["pid"]
    session.drive("click", "--hwnd", dialog["hwnd"], "--id", 2051)
    try:
        code = process.wait(timeout=30)
    except Exception:  # noqa: BLE001
        code = None
    checks.expect(code == 0, "%s: the first instance ends with 0 (%s)" % (what, code))
    second = session.wait_window(STARTUP, timeout_ms=40000)
    checks.expect(second["pid"] != first_pid, what + ": a new instance asks again (its settings unchanged)")
    checks.expect(wait_for_lines(attempts, 1)[:1] == ["launched"], what + ": launched through runas")
    session.drive("close", "--hwnd", second["hwnd"])
    session.wait_gone(STARTUP)
    for window in session.drive("windows", "--class", MAIN):
        session.drive("command", "--hwnd", window["hwnd"], "--id", 1011)
    session.wait_gone(MAIN)


def phase_small_screen(session, checks):
    what = "1024 x 600 screen"
    session.start_server(screen="1024x600x24", dpi=96)
    session.write_settings()
    process, main = checks.start_main(what)
    left, top, width, height = main["rect"]
    checks.expect([width, height] == [819, 480] and [left, top] == [102, 60],
                  "%s: window at %s (80 %% of the work area, centred)" % (what, main["rect"]))
    session.screenshot("main-small-screen")
    checks.close_main(process, main, what)


def run(options, check):
    if options.platform != "windows":
        print("the window exists only in the Windows build; nothing to check")
        return
    session = GuiSession(options.build_dir, "gui")
    session.start_server()  # makes the prefix on a first run
    session.lay_out_app()
    checks = MainWindowChecks(session, check)
    try:
        for phase in (phase_96, phase_startup_96, phase_translated_dialogs, relaunch, phase_144,
                      phase_small_screen):
            try:
                phase(session, checks)
            except (DriverError, subprocess.TimeoutExpired, StopIteration, KeyError, IndexError,
                    TypeError) as error:
                check.expect(False, "%s: %r" % (phase.__name__, error))
    finally:
        session.stop_server()
    print("screenshots: %s" % session.shots)


if __name__ == "__main__":
    check_main(run)
