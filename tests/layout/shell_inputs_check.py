"""What an elevated Ombrix takes from outside, checked in its sources and
its built executable:
- no code of the window program reads its command line (the Overview: none
  is read; the elevated relaunch passes none): no GetCommandLine,
  CommandLineToArgvW, __argv/__wargv, and wWinMain leaves its command-line
  parameter unnamed;
- nothing starts a program by a bare name: explorer.exe is run by its full
  path (ui/window/file_manager_win.cpp builds it from GetWindowsDirectoryW);
- ombrix.exe's manifest declares longPathAware.
ombrix-scan is a console tool whose arguments are its interface, so tools/
is not searched."""
import argparse
import pathlib
import re
import sys

GUI_FOLDERS = ["base", "core", "i18n", "app", "ui"]
COMMAND_LINE = re.compile(r"\b(GetCommandLine[AW]?|CommandLineToArgvW|__wargv|__argv|_wcmdln|_acmdln)\b")
BARE_EXPLORER = re.compile(r'ShellExecute\w*\([^;]*L?"explorer(\.exe)?"', re.S)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--platform", default="native")
    args, _ = parser.parse_known_args()
    source = pathlib.Path(__file__).resolve().parents[2]
    problems = []
    for folder in GUI_FOLDERS:
        for path in sorted((source / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            text = path.read_text(encoding="utf-8")
            code = re.sub(r"//[^\n]*", "", text)
            for match in COMMAND_LINE.finditer(code):
                problems.append(f"{path.relative_to(source)} reads the command line ({match.group(1)})")
            if BARE_EXPLORER.search(code):
                problems.append(f"{path.relative_to(source)} starts explorer by a bare name")
    entry = (source / "ui" / "main_win.cpp").read_text(encoding="utf-8")
    signature = re.search(r"wWinMain\(([^)]*)\)", entry)
    if not signature or len(signature.group(1).split(",")) != 4 or \
            signature.group(1).split(",")[2].strip() not in ("PWSTR", "LPWSTR", "wchar_t*"):
        problems.append("wWinMain names its command-line parameter")
    if "GetWindowsDirectoryW" not in (source / "ui" / "window" / "file_manager_win.cpp").read_text(encoding="utf-8"):
        problems.append("explorer.exe's path does not come from GetWindowsDirectoryW")
    if args.platform == "windows":
        exe = pathlib.Path(args.build_dir) / "ui" / "ombrix.exe"
        data = exe.read_bytes() if exe.exists() else b""
        if not re.search(rb"<longPathAware[^>]*>\s*true\s*</longPathAware>", data):
            problems.append("ombrix.exe's manifest does not declare longPathAware")
    for problem in problems:
        print("FAIL: " + problem)
    if not problems:
        print("no command line read, explorer by full path, longPathAware declared")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
