"""Runs Ombrix's real window under Wine on a virtual X display, for the GUI
checks: a Wine prefix of the checks' own (so changing its DPI disturbs no
other test), a folder with a portable copy of the program, the driver that
reads and clicks its windows, and screenshots.

Every Wine process is bounded by a timeout; a window that hangs fails the
check instead of hanging the run."""
import json
import os
import pathlib
import shutil
import subprocess
import time

SOURCE = pathlib.Path(__file__).resolve().parents[2]
WINE_RUN = SOURCE / "scripts" / "wine-run.sh"
WINE_SERVER = SOURCE / "scripts" / "wine-server.sh"
IMPORT = "/usr/bin/import"  # ImageMagick's, not a stand-in earlier on PATH
CONVERT = "/usr/bin/convert"


class DriverError(Exception):
    pass


def read_language_file(path):
    """key -> text, as the program reads a language file: the first
    definition wins, '#' in the first column is a comment, both sides are
    trimmed of spaces, tabs, CR and LF."""
    table = {}
    for line in path.read_text(encoding="utf-8").split("\n"):
        if not line or line.startswith("#") or "=" not in line:
            continue
        key, text = line.split("=", 1)
        table.setdefault(key.strip(" \t\r\n"), text.strip(" \t\r\n"))
    return table


class GuiSession:
    def __init__(self, build_dir, name):
        self.build = pathlib.Path(build_dir).resolve()
        self.work = self.build / "tests" / "ui" / name
        self.prefix = self.build / ("wineprefix-" + name)
        # Inside the prefix's C: drive, where a user's programs live (Wine's
        # Z: drive, the Linux root, behaves differently in places).
        self.app = self.prefix / "drive_c" / "ombrix-gui-check"
        self.shots = self.work / "screenshots"
        self.driver_exe = self.build / "tests" / "ui" / "driver" / "ombrix-ui-driver.exe"
        self.env = dict(os.environ, OMBRIX_WINEPREFIX=str(self.prefix))
        self.env.pop("DISPLAY", None)
        self.processes = []

    # The program's folder -------------------------------------------------

    def lay_out_app(self, scan_tool=False):
        """A portable copy of the program: the executables, the language
        files beside them and the marker that keeps settings there; with
        scan_tool, ombrix-scan.exe too, for the checks that hold the window
        against its report. The prefix must exist."""
        shutil.rmtree(self.work, ignore_errors=True)
        shutil.rmtree(self.app, ignore_errors=True)
        (self.app / "resources").mkdir(parents=True)
        shutil.copy(self.build / "ui" / "ombrix.exe", self.app)
        if scan_tool:
            shutil.copy(self.build / "tools" / "ombrix-scan.exe", self.app)
        shutil.copy(self.build / "tests" / "ui" / "driver" / "ombrix-startup-harness.exe", self.app)
        shutil.copytree(self.build / "ui" / "resources" / "strings", self.app / "resources" / "strings")
        (self.app / "ombrix.portable").write_text("")
        self.shots.mkdir(parents=True)

    def language(self, locale):
        return read_language_file(self.app / "resources" / "strings" / (locale + ".txt"))

    @property
    def settings_path(self):
        return self.app / "ombrix.settings.json"

    def write_settings(self, language="en-US", theme="MysticForest", threads=2, show_prompt=True,
                       suppress=False, always=False, recent_folders=()):
        # No \u escapes: the program's reader does not take them.
        text = json.dumps({"appVersion": "v1.01", "language": language, "theme": theme,
                           "recentFolders": list(recent_folders),
                           "scan": {"threadsPerDrive": threads,
                                    "showAdminPromptOnStartup": show_prompt,
                                    "suppressAdminPrompt": suppress,
                                    "alwaysStartAsAdministrator": always}},
                          ensure_ascii=False, indent=2)
        self.settings_path.write_text(text, encoding="utf-8")
        (self.app / "launch-attempts.txt").unlink(missing_ok=True)

    def read_settings(self):
        return json.loads(self.settings_path.read_text(encoding="utf-8"))

    def settled_settings(self, saved, timeout=10):
        """The settings file once `saved(settings)` holds, or as it is after
        the timeout: the program writes it after its dialog has closed."""
        deadline = time.monotonic() + timeout
        while True:
            try:
                settings = self.read_settings()
                if saved(settings) or time.monotonic() > deadline:
                    return settings
            except ValueError:  # caught between truncation and write
                if time.monotonic() > deadline:
                    raise
            time.sleep(0.2)

    # Wine ------------------------------------------------------------------

    def start_server(self, screen="1280x1024x24", dpi=96):
        env = dict(self.env, OMBRIX_XVFB_SCREEN=screen)
        # The session program keeps Wine's desktop up between the program's
        # runs (wine-server.sh says why).
        session_exe = self.build / "tests" / "ombrix_wine_session.exe"
        subprocess.run([str(WINE_SERVER), "start"] + ([str(session_exe)] if session_exe.exists() else []),
                       env=env, check=True, timeout=600,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        # A new process takes its DPI from this value when it starts.
        self.wine(["reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                   "REG_DWORD", "/d", str(dpi), "/f"])

    def stop_server(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
                process.wait(timeout=30)
        self.processes = []
        subprocess.run([str(WINE_SERVER), "stop"], env=self.env, timeout=120,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wine(self, args, timeout=60):
        done = subprocess.run([str(WINE_RUN)] + args, env=self.env, timeout=timeout,
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE)
        return done.returncode, done.stdout.decode("utf-8", "replace")

    def launch(self, exe_name, extra_env=None):
        env = dict(self.env, **(extra_env or {}))
        process = subprocess.Popen([str(WINE_RUN), str(self.app / exe_name)], env=env,
                                   cwd=str(self.app), stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def drive(self, *args, allow_failure=False, timeout=40):
        code, out = self.wine([str(self.driver_exe)] + [str(a) for a in args], timeout=timeout)
        if code != 0 and not allow_failure:
            raise DriverError("driver %s: exit %d: %s" % (" ".join(map(str, args)), code, out))
        return json.loads(out) if out.strip() else None

    def wait_window(self, window_class, pid=0, timeout_ms=30000):
        windows = self.drive("wait", "--class", window_class, "--pid", pid,
                             "--timeout-ms", timeout_ms, timeout=timeout_ms / 1000 + 30)
        return windows[0]

    def wait_gone(self, window_class, timeout_ms=15000):
        return self.drive("wait", "--class", window_class, "--gone", "--timeout-ms", timeout_ms,
                          allow_failure=True, timeout=timeout_ms / 1000 + 30) == []

    def report(self, hwnd):
        return self.drive("report", "--hwnd", hwnd)

    # Pictures --------------------------------------------------------------

    def screenshot(self, name):
        display = (self.prefix.parent / (self.prefix.name + ".display")).read_text().split()[0]
        path = self.shots / (name + ".png")
        time.sleep(0.5)  # let the last paint reach the X server
        subprocess.run([IMPORT, "-display", ":" + display, "-window", "root", str(path)],
                       check=True, timeout=60)
        return path

    @staticmethod
    def colours(path, x, y, width, height):
        """How many distinct colours the rectangle holds."""
        out = subprocess.run([CONVERT, str(path), "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                              "+repage", "-format", "%k", "info:"], check=True, timeout=60,
                             stdout=subprocess.PIPE).stdout
        return int(out.decode().strip())

    @staticmethod
    def pixel(path, x, y):
        """The colour at (x, y) as a COLORREF (0x00BBGGRR)."""
        out = subprocess.run([CONVERT, str(path), "-crop", "1x1+%d+%d" % (x, y), "-depth", "8",
                              "txt:-"], check=True, timeout=60, stdout=subprocess.PIPE).stdout
        pixel_line = out.decode().strip().splitlines()[-1]  # "0,0: (...)  #RRGGBB  srgb(...)"
        hex_colour = pixel_line.split("#")[1][:6]
        red, green, blue = (int(hex_colour[i:i + 2], 16) for i in (0, 2, 4))
        return red | green << 8 | blue << 16


def child(report, control_id):
    """The first control with this id (list views' inner controls share id 0)."""
    for control in report["children"]:
        if control["id"] == control_id:
            return control
    return None


def check_main(run):
    """The checks' entry: ctest's options, run(options, check), the outcome
    as the exit code."""
    import sys
    sys.path.insert(0, str(SOURCE / "tests" / "support"))
    from scan_check import Check, parse_options
    options = parse_options()
    check = Check()
    run(options, check)
    sys.exit(check.finish())
