"""The Windows programs import only DLLs that Windows loads from System32
whatever folder the program starts from: its KnownDLLs. Any other static
import would be looked for beside the executable first, so a DLL dropped
next to an elevated Ombrix would run with administrator rights. Other DLLs
the shell needs (uxtheme, dwmapi) are loaded at run time from System32.
Also checks that both programs restrict the run-time search to System32."""
import argparse
import pathlib
import subprocess
import sys

# Windows 10's KnownDLLs (HKLM\SYSTEM\CurrentControlSet\Control\Session
# Manager\KnownDLLs), lower case, plus comctl32: the manifest binds it to
# the side-by-side version 6, which the loader takes from WinSxS.
ALLOWED = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "gdi32.dll",
    "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll", "msvcrt.dll",
    "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll",
    "sechost.dll", "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "wldap32.dll", "ws2_32.dll", "comctl32.dll",
}
PROGRAMS = ["ui/ombrix.exe", "tools/ombrix-scan.exe"]


def imports(exe):
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(exe)], capture_output=True,
                          text=True, check=True).stdout
    dlls = [line.split("DLL Name:")[1].strip().lower() for line in dump.splitlines()
            if "DLL Name:" in line]
    return dlls, dump


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--platform", default="native")
    args, _ = parser.parse_known_args()
    if args.platform != "windows":
        print("imports: only the Windows build has import tables; nothing to check")
        return 0
    problems = []
    for program in PROGRAMS:
        exe = pathlib.Path(args.build_dir) / program
        if not exe.exists():
            problems.append(f"{program} was not built")
            continue
        dlls, dump = imports(exe)
        problems += [f"{program} imports {dll}, which is not a KnownDLL" for dll in dlls
                     if dll not in ALLOWED]
        if "SetDefaultDllDirectories" not in dump:
            problems.append(f"{program} does not restrict the DLL search (SetDefaultDllDirectories)")
        print(f"{program}: {', '.join(dlls)}")
    for problem in problems:
        print("FAIL: " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
