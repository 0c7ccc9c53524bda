"""The portable zip of `make dist`, as a user meets it: unpacked into a
folder of its own under Wine and started from there. The language files
beside the executable are found (the captions are the English file's, and
switching to German re-texts the window from the German file); the
settings go to the per-user folder (%LOCALAPPDATA%\\Ombrix), not beside the
program, until the user adds the portable marker, after which they are
written beside ombrix.exe."""
import glob
import pathlib
import shutil
import subprocess
import sys
import zipfile

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "support"))
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

from gui_session import DriverError, GuiSession, check_main, child, read_language_file  # noqa: E402

MAIN = "Ombrix.MainWindow"
SOURCE = pathlib.Path(__file__).resolve().parents[2]
EXPECTED = {"Ombrix/ombrix.exe", "Ombrix/ombrix-scan.exe", "Ombrix/LICENSE.txt", "Ombrix/README.txt",
            "Ombrix/ZSTD-LICENSE.txt"}


def user_settings(session):
    return glob.glob(str(session.prefix / "drive_c" / "users" / "*" / "AppData" / "Local" / "Ombrix" /
                         "ombrix.settings.json"))


def start_and_use(session, check, what, command):
    process = session.launch("ombrix.exe")
    window = session.wait_window(MAIN, timeout_ms=60000)
    report = session.report(window["hwnd"])
    session.drive("command", "--hwnd", window["hwnd"], "--id", command)
    after = session.report(window["hwnd"])
    session.drive("command", "--hwnd", window["hwnd"], "--id", 1011)
    try:
        check.expect(process.wait(timeout=60) == 0, what + ": exit code after File > Exit")
    except subprocess.TimeoutExpired:
        check.expect(False, what + ": the program did not end")
    return report, after


def run(options, check):
    if options.platform != "windows":
        print("the zip holds the Windows build; nothing to check")
        return
    session = GuiSession(options.build_dir, "dist")
    zip_path = session.work / "ombrix-win64.zip"
    shutil.rmtree(session.work, ignore_errors=True)
    session.work.mkdir(parents=True)
    made = subprocess.run([str(SOURCE / "scripts" / "make-dist.sh"), str(session.build), str(zip_path)],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
    if not check.expect(made.returncode == 0, "make-dist.sh failed: %s" % made.stderr.decode()):
        return
    names = set(zipfile.ZipFile(zip_path).namelist())
    strings = {n for n in names if n.startswith("Ombrix/resources/strings/") and n.endswith(".txt")}
    check.expect(EXPECTED <= names, "zip lacks %s" % (EXPECTED - names))
    check.expect(len(strings) == 15, "zip holds %d language files" % len(strings))
    check.expect(not any(n.endswith("ombrix.portable") for n in names), "the zip has no portable marker")
    session.start_server()
    try:
        target = session.prefix / "drive_c" / "Downloads-dist"
        shutil.rmtree(target, ignore_errors=True)
        zipfile.ZipFile(zip_path).extractall(target)
        session.app = target / "Ombrix"
        for path in user_settings(session):
            pathlib.Path(path).unlink()
        english = read_language_file(session.app / "resources" / "strings" / "en-US.txt")
        german = read_language_file(session.app / "resources" / "strings" / "de-DE.txt")
        what = "unpacked"
        before, after = start_and_use(session, check, what, 1201 + 3)  # Deutsch
        check.expect(child(before, 1002)["text"] == english["toolbar.scan"] or
                     child(before, 1002)["text"] in {read_language_file(p)["toolbar.scan"]
                                                     for p in (session.app / "resources" / "strings").glob("*.txt")},
                     "%s: Scan button reads %r" % (what, child(before, 1002)["text"]))
        check.expect(child(after, 1002)["text"] == german["toolbar.scan"],
                     "%s: German caption from the German file: %r" % (what, child(after, 1002)["text"]))
        check.expect(child(after, 1008)["statusText"] in (english["status.ready"], german["status.ready"]),
                     "%s: status %r" % (what, child(after, 1008)["statusText"]))
        check.expect(len(user_settings(session)) == 1, "%s: settings in the per-user folder: %s"
                     % (what, user_settings(session)))
        check.expect(not (session.app / "ombrix.settings.json").exists(), "%s: no settings beside the program" % what)
        what = "portable"
        (session.app / "ombrix.portable").write_text("")
        start_and_use(session, check, what, 1300 + 10)  # Light
        beside = session.app / "ombrix.settings.json"
        check.expect(beside.exists() and '"Light"' in beside.read_text(encoding="utf-8"),
                     "%s: settings written beside ombrix.exe" % what)
    except (DriverError, subprocess.TimeoutExpired, KeyError, IndexError, ValueError) as error:
        check.expect(False, "dist: %r" % error)
    finally:
        session.stop_server()


if __name__ == "__main__":
    check_main(run)
