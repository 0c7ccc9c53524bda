#!/usr/bin/env python3
"""Mutation check: how many faults does the native test suite catch?

Puts one small fault at a time (a flipped comparison, an off-by-one, a
negated condition, a dropped statement, ...) into the platform-neutral C++
sources (base/ core/ app/ i18n/ ui/ tools/, without *_win.* files, tests,
benchmarks and fuzzers), rebuilds the native configuration incrementally in
its own build folder and runs ctest. A mutant that makes a test fail, crash
or time out is KILLED; one that passes every test SURVIVED; one that does
not compile (or is not part of the native build) is INVALID and does not
count. Sites are drawn at random from each seed over a sorted list, so the
same seeds on the same source meet the same mutants.

    make mutation SEEDS=1,2,3 COUNT=40          # the usual way
    scripts/mutate.py --seeds 1 --count 5        # a quick look
    scripts/mutate.py --list --seeds 1,2         # the sites only, no build
    scripts/mutate.py --paths core/mft --seed 7  # one folder

Survivors are written to --report (default build/mutation/report.txt).
The source file is always restored, also on Ctrl+C; a run stopped hard
(kill -9) is repaired at the next start from <build>/in-flight.*.
"""
import argparse
import fcntl
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SOURCE_DIRS = ("base", "core", "app", "i18n", "ui", "tools")
SKIPPED_DIRS = {"tests", "test", "bench", "fuzz"}
KEYWORDS = {"return", "if", "else", "for", "while", "do", "switch", "case", "default", "break",
            "continue", "goto", "throw", "delete", "new", "using", "typedef", "static_assert",
            "co_return", "co_yield", "co_await", "template", "namespace", "operator", "sizeof"}
NEGATE = {"<": ">=", ">=": "<", ">": "<=", "<=": ">", "==": "!=", "!=": "=="}
BOUNDARY = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}
WIN32 = r"(?:defined\s*\(?\s*_?WIN32\s*\)?|_WIN32)"
RAW = re.compile(r'"([^()\\\s]{0,16})\(')


# --- Which files ------------------------------------------------------------

def eligible(path):
    rel = path.relative_to(ROOT)
    return (path.suffix in (".cpp", ".h") and not re.search(r"_win\.(cpp|h)$", path.name)
            and not re.search(r"_(test|bench|fuzz)\.(cpp|h)$", path.name)
            and not SKIPPED_DIRS & set(rel.parts[:-1]))


def source_files(paths):
    found = set()
    for p in paths or SOURCE_DIRS:
        p = (Path(p) if Path(p).exists() else ROOT / p).resolve()
        found.update(p.rglob("*") if p.is_dir() else [p] if p.is_file() else [])
    return sorted((f for f in found if f.is_file() and eligible(f)), key=lambda f: f.as_posix())


# --- Lexing: blank out what is not code, keeping every offset ---------------

def mask(text):
    """Comments, string/char literals, preprocessor lines and code under
    #if defined(_WIN32) become spaces; newlines and offsets stay."""
    out, n, i, line_start, directives = list(text), len(text), 0, True, []

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    def token_before(k):  # the identifier or number that ends right before k
        j = k
        while j > 0 and (text[j - 1].isalnum() or text[j - 1] in "_'."):
            j -= 1
        return text[j:k]

    while i < n:
        c = text[i]
        if c == "\n":
            line_start, i = True, i + 1
        elif c in " \t\r\f\v":
            i += 1
        elif line_start and c == "#":
            e = i
            while True:
                e = text.find("\n", e)
                e = n if e < 0 else e
                if e < n and text[i:e].rstrip("\r").endswith("\\"):
                    e += 1
                    continue
                break
            directives.append((i, e, text[i:e]))
            blank(i, e)
            i = e
        elif text.startswith("//", i):
            e = text.find("\n", i)
            e = n if e < 0 else e
            blank(i, e)
            i, line_start = e, False
        elif text.startswith("/*", i):
            e = text.find("*/", i + 2)
            e = n if e < 0 else e + 2
            blank(i, e)
            i, line_start = e, False
        elif c == '"' and token_before(i) in ("R", "u8R", "uR", "UR", "LR") and RAW.match(text, i):
            delim = RAW.match(text, i).group(1)
            e = text.find(")" + delim + '"', i)
            e = n if e < 0 else e + len(delim) + 1
            blank(i + 1, e)
            i, line_start = e + 1, False
        elif c in "\"'":
            line_start = False
            if c == "'" and token_before(i)[:1].isdigit():  # digit separator: 100'000
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            blank(i + 1, j)
            i = j + 1
        else:
            line_start, i = False, i + 1

    # #if defined(_WIN32) ... #else ... #endif: blank what Linux never compiles.
    stack, prev_end = [], 0
    for start, end, d in directives + [(n, n, "")]:
        if "win" in stack:
            blank(prev_end, start)
        d = re.sub(r"//.*|/\*.*?\*/", "", d).strip()
        m = re.match(r"#\s*(ifdef|ifndef|if|elif|else|endif)\b\s*(.*)", d, re.S)
        kw, cond = (m.group(1), m.group(2).strip()) if m else ("", "")
        if kw in ("ifdef", "ifndef"):
            cond = ("" if kw == "ifdef" else "!") + cond
        state = ("win" if re.fullmatch(WIN32, cond) else
                 "other" if re.fullmatch(r"!\s*" + WIN32, cond) else None)  # None: not about Win32
        if kw in ("if", "ifdef", "ifndef"):
            stack.append(state)
        elif kw == "elif" and stack:
            stack[-1] = state
        elif kw == "else" and stack:
            stack[-1] = {"win": "other", "other": "win"}.get(stack[-1])
        elif kw == "endif" and stack:
            stack.pop()
        prev_end = end
    return "".join(out)


# --- Finding mutation sites -------------------------------------------------

def match_forward(m, i):
    """Index of the bracket closing the one at i, or -1."""
    depth = 0
    for j in range(i, len(m)):
        if m[j] in "([{":
            depth += 1
        elif m[j] in ")]}":
            depth -= 1
            if depth == 0:
                return j
    return -1


def match_backward(m, i):
    depth = 0
    for j in range(i, -1, -1):
        if m[j] in ")]}":
            depth += 1
        elif m[j] in "([{":
            depth -= 1
            if depth == 0:
                return j
    return -1


def context_before(m, i):
    """What the code right before offset i says about a statement starting
    there: 'control' (body of if/for/while/switch/else/do/catch), 'block'
    (after ; { } or a label inside a body), 'function' (start of a function
    or lambda body), or None (an expression, initializer, class or namespace)."""
    head = m[:i].rstrip()
    if not head:
        return None
    if re.search(r"\b(else|do|try)$", head[-8:]):
        return "control"
    if head[-1] == ")":
        o = match_backward(m, len(head) - 1)
        return "control" if o > 0 and re.search(r"\b(if|for|while|switch|catch)\s*$", m[max(0, o - 40):o]) else None
    if head[-1] in ";}" or (head[-1] == ":" and not head.endswith("::")):
        return "block"
    if head[-1] != "{":
        return None
    before = head[:-1].rstrip()
    start = max(before.rfind(";"), before.rfind("}"), before.rfind("{")) + 1
    if re.search(r"\b(class|struct|union|enum|namespace)\b", before[start:]):
        return None
    if not before or before[-1] in ";{}":
        return "block"
    if before[-1] in "=,([" or re.search(r"\breturn$", before[-8:]):
        return None
    return "control" if context_before(m, len(before)) == "control" else "function"


def enclosing_brace(m, i):
    depth = 0
    for j in range(i - 1, -1, -1):
        if m[j] == "}":
            depth += 1
        elif m[j] == "{":
            if depth == 0:
                return j
            depth -= 1
    return -1


def statement_end(m, i):
    """Offset of the ';' that ends the statement starting at i, or -1."""
    depth = 0
    for j in range(i, len(m)):
        c = m[j]
        if c in "([{":
            if c == "{" and depth == 0 and not re.search(r"[\w\])]\s*$|=\s*$", m[i:j]):
                return -1
            depth += 1
        elif c in ")]}":
            depth -= 1
            if depth < 0:
                return -1
        elif c == ";" and depth == 0:
            return j
    return -1


EXPR_STATEMENT = re.compile(
    r"(?:[\w:.\[\]()>*-]+?\s*(?:[-+*/%&|^]|<<|>>)?=(?!=).*"   # a = b, a.b += c
    r"|(?:\+\+|--)[\w.\[\]>*-]+|[\w.\[\]>-]+(?:\+\+|--)"       # ++i, i--
    r"|(?:\w+\s*(?:::|\.|->)\s*)*\w+\s*(?:<[^;=]*>)?\(.*\))",  # f(x), a.b(c), ns::f<T>(x)
    re.S)


def sites(text, m):
    """Every (start, end, replacement, operator) in one file, in offset order."""
    out = []
    not_operator = lambda k: not re.search(r"\boperator\s*$", m[max(0, k - 40):k])
    for x in re.finditer(r"(?<=\s)(==|!=|<=|>=|<|>)(?=\s)", m):
        if not_operator(x.start()):
            op = x.group(1)
            out.append((x.start(), x.end(), NEGATE[op], "negate-compare"))
            if op in BOUNDARY:
                out.append((x.start(), x.end(), BOUNDARY[op], "boundary-compare"))
    for x in re.finditer(r"(?<=\s)(&&|\|\|)(?=\s)", m):
        out.append((x.start(), x.end(), "||" if x.group(1) == "&&" else "&&", "and-or"))
    for x in re.finditer(r"\b(true|false)\b", m):
        out.append((x.start(), x.end(), "false" if x.group(1) == "true" else "true", "true-false"))
    for x in re.finditer(r"(?<![\w.'])(0[xX][0-9a-fA-F']+|0[bB][01']+|\d[\d']*)([uUlLzZ]*)(?![\w.'])", m):
        if re.search(r"\)\s*(const\s*|override\s*|noexcept\s*)*=\s*$", m[max(0, x.start() - 40):x.start()]):
            continue  # the 0 of a pure virtual function
        digits = x.group(1).replace("'", "")
        base = {"0x": 16, "0b": 2}.get(digits[:2].lower(), 10)
        value = int(digits[2:] if base != 10 else digits, base)
        v = value + (1 if value == 0 or x.start() % 2 else -1)  # +1, or -1 for about half
        lit = f"0x{v:X}" if base == 16 else f"0b{v:b}" if base == 2 else str(v)
        out.append((x.start(), x.end(), lit + x.group(2), "literal+-1"))
    for x in re.finditer(r"(?<=[\w)\]]) ([+-]) 1(?![\w.'])", m):
        out.append((x.start(1), x.end(1), "-" if x.group(1) == "+" else "+", "plus-minus-one"))
    for x in re.finditer(r"\b(if|while)\s*\(", m):
        start, close, depth = x.end(), match_forward(m, x.end() - 1), 0
        for k in range(start, max(close, start)):
            depth += (m[k] in "([{") - (m[k] in ")]}")
            start = k + 1 if m[k] == ";" and depth == 0 else start  # if (init; cond)
        cond = m[start:close]
        if close < 0 or not cond.strip() or re.search(r"(?<![=!<>])=(?!=)", cond):
            continue
        start += len(cond) - len(cond.lstrip())
        out.append((start, close, "!(" + text[start:close] + ")", "negate-condition"))
    # Dropped statements: statements that begin a line in a function body.
    for x in re.finditer(r"(?m)^[ \t]*(?=[\w+*-])", m):
        s = x.end()
        ctx, end, b = context_before(m, s), statement_end(m, s), enclosing_brace(m, s)
        body_ctx = context_before(m, b + 1) if b >= 0 else None  # None: class or namespace
        if ctx is None or end < 0 or body_ctx is None:
            continue
        body = " ".join(m[s:end].split())
        first = re.match(r"\w*", body).group(0)
        dropped = ";" + "\n" * text.count("\n", s, end)
        if first == "return":
            # Only an early return (in an if/loop/switch body), so that the
            # function goes on to its later return and still compiles.
            if ctx == "control" or body_ctx == "control":
                out.append((s, end + 1, dropped, "drop-return"))
        elif first not in KEYWORDS and EXPR_STATEMENT.fullmatch(body):
            out.append((s, end + 1, dropped, "drop-statement"))
    return sorted(out)


class Mutant:
    def __init__(self, path, text, start, end, replacement, op):
        self.path, self.start, self.end, self.replacement, self.op = path, start, end, replacement, op
        self.rel = path.relative_to(ROOT).as_posix()
        self.line = text.count("\n", 0, start) + 1
        self.id = f"{self.rel}:{start}:{op}"
        ls = text.rfind("\n", 0, start) + 1
        le = text.find("\n", start)
        mutated = text[:start] + replacement + text[end:]
        me = mutated.find("\n", ls)
        self.before = text[ls:le if le >= 0 else None].strip()
        self.after = mutated[ls:me if me >= 0 else None].strip()

    def describe(self):
        return f"{self.rel}:{self.line} {self.op}: {self.before}  ==>  {self.after}"


def all_mutants(paths):
    mutants = []
    for f in source_files(paths):
        text = f.read_bytes().decode("latin-1")  # one char per byte: offsets are byte offsets
        mutants += [Mutant(f, text, *s) for s in sites(text, mask(text))]
    return mutants


def draw(mutants, seed):
    order = list(mutants)
    random.Random(seed).shuffle(order)
    return order


# --- Building and testing ---------------------------------------------------

def run(cmd, cwd, timeout, log):
    """Runs cmd in its own process group, output to log; returns the exit
    code, or None when it ran out of time. The group dies with us."""
    with open(log, "wb") as out:
        p = subprocess.Popen(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            return p.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        finally:
            if p.poll() is None:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait()


class Lab:
    def __init__(self, args):
        self.args, self.build = args, Path(args.build_dir).resolve()
        self.log = self.build / "mutation-logs"

    def prepare(self):
        self.log.mkdir(parents=True, exist_ok=True)
        if not (self.build / "build.ninja").exists():
            testdata = Path(self.args.testdata or self.build.parent / "testdata").resolve()
            cmd = ["cmake", "-S", str(ROOT), "-B", str(self.build), "-G", "Ninja",
                   "-DCMAKE_BUILD_TYPE=RelWithDebInfo", f"-DOMBRIX_TESTDATA_DIR={testdata}"]
            if run(cmd, ROOT, 600, self.log / "configure.log") != 0:
                sys.exit(f"mutate: configuring failed, see {self.log / 'configure.log'}")
        if not self.compile():
            sys.exit(f"mutate: the unmutated tree does not build, see {self.log / 'build.log'}")
        deps = subprocess.run(["ninja", "-C", str(self.build), "-t", "deps"], capture_output=True, text=True).stdout
        self.built = {str((self.build / l.strip()).resolve()) for l in deps.splitlines() if l.startswith(" ")}
        t = time.monotonic()
        verdict, detail = self.test(limit=False)
        if verdict != "PASSED":
            sys.exit(f"mutate: the unmutated tree fails its tests ({detail}), see {self.log / 'ctest.log'}")
        print(f"baseline: build and {detail}, tests took {time.monotonic() - t:.1f}s", flush=True)

    def compile(self):
        cmd = ["cmake", "--build", str(self.build), "-j", str(self.args.jobs)]
        return run(cmd, ROOT, self.args.build_timeout, self.log / "build.log") == 0

    def test(self, limit=True):
        (self.build / "Testing/Temporary/CTestCheckpoint.txt").unlink(missing_ok=True)
        cmd = ["ctest", "-j", str(self.args.jobs), "--timeout", str(self.args.timeout), "--stop-on-failure"]
        # Every test process gets an address-space cap (a runaway allocation
        # ends in bad_alloc, not in the OOM killer) and a CPU-time cap.
        cmd = ["prlimit", f"--as={self.args.memory_mib << 20}"] + (
            [f"--cpu={self.args.timeout}"] if limit else []) + ["--"] + cmd
        log = self.log / "ctest.log"
        code = run(cmd, self.build, self.args.mutant_timeout if limit else 1800, log)
        output = log.read_text(errors="replace")
        if code is None:
            return "KILLED", f"whole run over {self.args.mutant_timeout}s"
        if code == 0:
            return "PASSED", re.search(r"\d+% tests passed.*", output).group(0)
        bad = re.findall(r"Test\s+#\d+: (\S+) [.\s]*(.*\*\*\*.*?)\s+[\d.]+ sec", output)
        why = [f"{name} {' '.join(re.sub(r'[*:]+', ' ', w).split())}" for name, w in bad[:2]]
        return "KILLED", ", ".join(why) or f"ctest exit {code}"

    def try_mutant(self, mutant):
        if str(mutant.path) not in self.built:
            return "INVALID", "not compiled in the native build"
        original = mutant.path.read_bytes()
        text = original.decode("latin-1")
        (self.build / "in-flight.bytes").write_bytes(original)
        (self.build / "in-flight.path").write_text(str(mutant.path))
        try:
            mutant.path.write_bytes((text[:mutant.start] + mutant.replacement + text[mutant.end:]).encode("latin-1"))
            if not self.compile():
                return "INVALID", "does not compile"
            verdict, detail = self.test()
            return ("SURVIVED", detail) if verdict == "PASSED" else (verdict, detail)
        finally:
            STOP["restoring"] = True  # a signal now only takes effect once the file is back
            mutant.path.write_bytes(original)
            (self.build / "in-flight.path").unlink()
            (self.build / "in-flight.bytes").unlink()
            STOP["restoring"] = False
            if STOP["pending"]:
                raise KeyboardInterrupt


STOP = {"restoring": False, "pending": False}


def interrupted(signum, frame):
    if STOP["restoring"]:
        STOP["pending"] = True
    else:
        raise KeyboardInterrupt  # unwinds through try_mutant's finally, which restores the file


def restore_in_flight(build):
    record = build / "in-flight.path"
    if record.exists():
        path = Path(record.read_text())
        path.write_bytes((build / "in-flight.bytes").read_bytes())
        record.unlink()
        (build / "in-flight.bytes").unlink()
        print(f"mutate: restored {path} left mutated by an earlier run", file=sys.stderr)


VERDICT_LINE = re.compile(r"^(KILLED|SURVIVED|INVALID)\s+(.*?)   \[(.*?)(?:; \d+s)?\]$")


def read_verdicts(log):
    """{mutant description: (verdict, detail)} from an earlier run's output."""
    verdicts = {}
    for line in Path(log).read_text(errors="replace").splitlines():
        match = VERDICT_LINE.match(line)
        if match and match.group(3) not in ("seen before", "earlier run"):
            verdicts[match.group(2)] = (match.group(1), match.group(3))
    return verdicts


def summary(label, results):
    valid = [r for r in results if r != "INVALID"]
    killed = valid.count("KILLED")
    share = f"{100 * killed / len(valid):.1f}%" if valid else "-"
    return (f"{label}: {len(valid)} valid mutants, {killed} killed, {len(valid) - killed} survived, "
            f"{share} killed ({results.count('INVALID')} invalid)")


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--seed", type=int, action="append", default=[], help="a seed (repeatable)")
    ap.add_argument("--seeds", default="", help="comma-separated seeds, e.g. 1,2,3")
    ap.add_argument("--count", type=int, default=40, help="valid mutants wanted per seed")
    ap.add_argument("--paths", nargs="+", help="restrict to these files or folders")
    ap.add_argument("--list", action="store_true", help="print the chosen sites, do not build")
    ap.add_argument("--jobs", type=int, default=2, help="parallel jobs for ctest and the build")
    ap.add_argument("--build-dir", default=str(ROOT / "build/mutation"))
    ap.add_argument("--testdata", help="test data folder (default: <build-dir>/../testdata)")
    ap.add_argument("--report", help="survivors are written here (default <build-dir>/report.txt)")
    ap.add_argument("--timeout", type=int, default=60,
                    help="ctest --timeout, and the CPU seconds each test process may use")
    ap.add_argument("--mutant-timeout", type=int, default=300, help="seconds for all tests of one mutant")
    ap.add_argument("--build-timeout", type=int, default=1800, help="seconds for one rebuild")
    ap.add_argument("--memory-mib", type=int, default=4096, help="address-space cap per test process")
    ap.add_argument("--resume", help="the output of an earlier, interrupted run with the same seeds: "
                    "its verdicts are taken and only the rest is tried")
    args = ap.parse_args()
    seeds = args.seed + [int(s) for s in args.seeds.split(",") if s.strip()] or [1, 2, 3]
    build = Path(args.build_dir).resolve()
    report = Path(args.report or build / "report.txt")
    mutants = all_mutants(args.paths)
    ops = {}
    for mu in mutants:
        ops[mu.op] = ops.get(mu.op, 0) + 1
    print(f"{len(mutants)} sites in {len({mu.rel for mu in mutants})} files: "
          + ", ".join(f"{k} {v}" for k, v in sorted(ops.items())), flush=True)
    if args.list:
        for seed in seeds:
            print(f"seed {seed}: first {args.count} in draw order (an invalid one gives way to the next)")
            for mu in draw(mutants, seed)[:args.count]:
                print("  " + mu.describe())
        return 0

    # One run per build folder: a second one would rebuild the same tree
    # and restore the other's mutated file under its feet.
    build.mkdir(parents=True, exist_ok=True)
    lock = open(build / "mutation.lock", "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except BlockingIOError:
        sys.exit(f"mutate: another run is using {build}")
    restore_in_flight(build)
    earlier = read_verdicts(args.resume) if args.resume else {}
    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, interrupted)
    lab = Lab(args)
    lab.prepare()
    done, per_seed, survivors, times, stopped = {}, {}, {}, [], False
    try:
        for seed in seeds:
            per_seed[seed] = []
            for mu in draw(mutants, seed):
                if len(per_seed[seed]) - per_seed[seed].count("INVALID") >= args.count:
                    break
                if mu.id not in done and mu.describe() in earlier:
                    done[mu.id] = earlier[mu.describe()]
                    print(f"{done[mu.id][0]:8} {mu.describe()}   [{done[mu.id][1]}; earlier run]",
                          flush=True)
                elif mu.id not in done:
                    t = time.monotonic()
                    done[mu.id] = lab.try_mutant(mu)
                    times.append(time.monotonic() - t)
                    print(f"{done[mu.id][0]:8} {mu.describe()}   [{done[mu.id][1]}; {times[-1]:.0f}s]", flush=True)
                else:
                    print(f"{done[mu.id][0]:8} {mu.describe()}   [seen before]", flush=True)
                per_seed[seed].append(done[mu.id][0])
                if done[mu.id][0] == "SURVIVED":
                    survivors.setdefault(mu.id, (mu, []))[1].append(seed)
    except KeyboardInterrupt:
        print("mutate: interrupted; the source is restored", file=sys.stderr)
        stopped = True
    lines = [summary(f"seed {s}", r) for s, r in per_seed.items()]
    lines.append(summary("overall (distinct mutants)", [v for v, _ in done.values()]))
    if times:
        lines.append(f"{len(times)} mutants tried in {sum(times):.0f}s, {sum(times) / len(times):.1f}s each on average")
    print("\n".join(lines))
    report.parent.mkdir(parents=True, exist_ok=True)
    report.write_text("\n".join(
        [f"Surviving mutants, seeds {','.join(map(str, seeds))}, count {args.count}", ""]
        + [f"seed {','.join(map(str, s))}  {mu.rel}:{mu.line} {mu.op}\n    - {mu.before}\n    + {mu.after}"
           for mu, s in survivors.values()] + [""] + lines) + "\n")
    print(f"survivors written to {report}")
    return 130 if stopped else 0


if __name__ == "__main__":
    sys.exit(main())
