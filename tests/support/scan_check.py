"""The harness every ombrix-scan check script shares: its command line (as
ctest passes it), running the tool directly or under Wine, and collecting
failures so one run reports all of them."""
import argparse
import json
import os
import re
import subprocess
import sys


class Check:
    def __init__(self):
        self.failures = []

    def expect(self, condition, message):
        if not condition:
            self.failures.append(message)
        return condition

    def finish(self):
        """Prints the outcome; the script's exit code."""
        for failure in self.failures:
            print("FAIL: " + failure)
        if self.failures:
            return 1
        print("all checks passed")
        return 0


def parse_options():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--testdata", required=True)
    parser.add_argument("--scan-exe", default="")
    parser.add_argument("--runner", default="")
    parser.add_argument("--platform", choices=("windows", "native"), required=True)
    return parser.parse_args()


def run_tool(args, options, env=None, timeout=900):
    """Runs ombrix-scan (under the Wine runner when there is one); returns
    the exit code, stdout as bytes and stderr as text."""
    command = ([options.runner] if options.runner else []) + [options.scan_exe] + args
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=timeout, env=env)
    return done.returncode, done.stdout, done.stderr.decode("utf-8", "replace")


def parse_report(stdout, check, what):
    """The tool's JSON report, or None (and a failure) when stdout is not
    exactly one UTF-8 JSON value."""
    try:
        return json.loads(stdout.decode("utf-8"))
    except (UnicodeDecodeError, ValueError) as error:
        check.expect(False, "%s: output is not valid UTF-8 JSON: %s" % (what, error))
        return None


def tool_path(linux_path, options):
    """A Linux path as the tool sees it: through Wine's Z: drive, which maps
    to the Linux root, when it runs under Wine."""
    if not options.runner:
        return linux_path
    return "Z:" + os.path.abspath(linux_path).replace("/", "\\")


def wine_unix_path_length(linux_path, options):
    """Bytes of the Linux path through which Wine reaches a Z: path: the
    prefix's dosdevices/z: link (to /) followed by the Linux path. Linux
    refuses paths of 4,096 bytes and more, so Wine opens nothing deeper.
    The prefix is the one the runner script exports."""
    with open(options.runner) as f:
        prefix = re.search(r'OMBRIX_WINEPREFIX="([^"]+)"', f.read()).group(1)
    return len(os.fsencode(prefix + "/dosdevices/z:" + os.path.abspath(linux_path)))


def main(run):
    """Parses the options, skips when the tool is not built, runs
    run(options, check) and exits with the outcome."""
    options = parse_options()
    if not options.scan_exe:
        print("ombrix-scan is not part of this build; nothing to check")
        sys.exit(0)
    check = Check()
    run(options, check)
    sys.exit(check.finish())
