"""Checks the include graph against the layering: each top-level folder may
include only itself and the folders below it, neutral files never include
Win32 headers or test for _WIN32, and every header compiles on its own
terms (includes what it names as its own folder's)."""
import argparse
import pathlib
import re
import sys

# Folder -> folders it may include (itself always).
ALLOWED = {
    "base": set(),
    "core": {"base"},
    "i18n": {"base"},
    "app": {"base", "core", "i18n"},
    "ui": {"base", "core", "i18n", "app"},
    "tools": {"base", "core", "i18n", "app"},
}
WIN32_HEADERS = re.compile(r'#\s*include\s*<(windows|winioctl|shlobj|shellapi|commctrl|uxtheme|dwmapi|shobjidl|unknwn|objbase)\.h>', re.I)
INCLUDE = re.compile(r'#\s*include\s*"([^"]+)"')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", default=pathlib.Path(__file__).resolve().parents[2])
    args, _ = parser.parse_known_args()
    root = pathlib.Path(args.source)
    problems = []
    for folder, allowed in ALLOWED.items():
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            text = path.read_text(encoding="utf-8")
            rel = path.relative_to(root).as_posix()
            win32_file = path.stem.endswith("_win") or path.name in ("main_win.cpp",)
            if not win32_file:
                if WIN32_HEADERS.search(text):
                    problems.append(f"{rel}: a neutral file includes a Win32 header")
                if re.search(r"\b_WIN32\b", text):
                    problems.append(f"{rel}: a neutral file tests _WIN32")
            for included in INCLUDE.findall(text):
                top = included.split("/", 1)[0]
                if top in ALLOWED and top != folder and top not in allowed:
                    problems.append(f"{rel}: {folder}/ must not include {included}")
                if not win32_file and re.search(r"_win\.h$", included):
                    problems.append(f"{rel}: a neutral file includes {included}")
    for p in problems:
        print(p)
    print(f"layers: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
