#!/usr/bin/env python3
"""Plants faults in a copy of the tree, one at a time, and reports which the tests catch.

Usage: scripts/mutants.py [options] [FAULT ...]

Each fault is an exact text change in one source file (its old text must
occur exactly once). The faults live in a list (scripts/mutants.txt by
default); FAULT arguments pick some of them by name, shell wildcards allowed
("button.*"). For each fault the script

  1. copies the working tree (tracked and untracked, not ignored files), or
     the tree of a commit, into WORK/tree, rewriting only files whose content
     changed, so that the build in WORK/tree/build (configured once, through
     ccache, linked with lld when it is installed) stays incremental;
  2. plants the fault, builds the test programs its filter selects, runs
     them with ctest, stopping at the first failure, and puts the file back.

One line per fault:

  killed        NAME  by TEST[, TEST...]    a test failed (or hung)
  survived      NAME                        every selected test passed
  build-broken  NAME                        the fault does not compile

and last `mutants killed: K of N`. Before the first fault the clean tree is
built and the tests the list selects are run once; if they do not pass
there, nothing is planted. The exit status is 0 when every fault is killed,
1 when some survive or break the build, 2 on a usage or setup error.

The list: blank lines and lines starting with '#' are ignored; a fault is

  @ NAME FILE [CTEST FILTER ...]
  - old line
  - another old line
  + new line

FILE is relative to the top of the tree. The filter holds ctest selection
arguments (-R REGEX, -L LABEL, -E REGEX), split like a shell command line;
without one the fault runs the whole suite. Lines starting with "- " form the
old text, lines starting with "+ " the new text, one line each ("-" or "+"
alone is an empty line; no "+" line at all deletes the old text).

Options:
  --faults FILE   the list (default scripts/mutants.txt)
  --work DIR      scratch folder for the copy and its build (default
                  build-mutants/ at the top of the tree, which git ignores;
                  keep it below the ccache base folder to share its cache)
  --rev REV       plant into the tree of commit REV instead of the working
                  tree (the list itself is always read from the working tree)
  --full          run the whole ctest suite for every fault, not its filter
  --every-test    run every selected test, naming all that catch the fault
  --jobs N        build and test jobs (default 2)
  --timeout S     seconds the tests of one fault may take; longer counts as
                  caught, since a hang is a failure too (default 600)
  --check         only check that each fault applies (to the working tree,
                  or to REV)
  --no-baseline   skip the run on the clean tree
  -v, --verbose   show the build and ctest output of faults not killed

Environment: CCACHE_BASEDIR defaults to the folder above the tree,
CCACHE_NOHASHDIR to true, QT_QPA_PLATFORM to offscreen.

Examples:
  scripts/mutants.py                     # every fault, each with its filter
  scripts/mutants.py 'button.*'          # the control's faults
  scripts/mutants.py --full gdi.pen-width
  scripts/mutants.py --check
  scripts/mutants.py --rev main          # the faults against main's tests
"""

import argparse
import fnmatch
import io
import json
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tarfile
import time
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


@dataclass
class Fault:
    name: str
    file: str
    filter: list
    line: int
    old: list = field(default_factory=list)
    new: list = field(default_factory=list)

    @property
    def old_text(self):
        return "\n".join(self.old)

    @property
    def new_text(self):
        return "\n".join(self.new)


class ListError(Exception):
    pass


def parse_faults(path):
    faults, current = [], None
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        where = f"{path.name}:{number}"
        if raw.startswith("@"):
            words = shlex.split(raw[1:])
            if len(words) < 2:
                raise ListError(f"{where}: '@' wants a name and a file")
            current = Fault(words[0], words[1], words[2:], number)
            faults.append(current)
        elif raw in ("-", "+") or raw.startswith(("- ", "+ ")):
            if current is None:
                raise ListError(f"{where}: a change line before the first '@'")
            (current.old if raw[0] == "-" else current.new).append(raw[2:])
        elif raw.strip() and not raw.lstrip().startswith("#"):
            raise ListError(f"{where}: not a fault, a change line or a comment: {raw!r}")
    names = set()
    for f in faults:
        if f.name in names:
            raise ListError(f"{path.name}:{f.line}: the name {f.name} is used twice")
        names.add(f.name)
        if not f.old:
            raise ListError(f"{path.name}:{f.line}: {f.name} has no old text")
    return faults


def check_applies(fault, tree):
    """Returns why the fault does not apply to tree, or None."""
    target = tree / fault.file
    if not target.is_file():
        return f"{fault.file} does not exist"
    count = target.read_text(encoding="utf-8").count(fault.old_text)
    if count != 1:
        return f"its old text occurs {count} times in {fault.file}"
    return None


def tree_contents(rev):
    """The files to copy: {path: (bytes, mode)} of the working tree, or of commit rev."""
    if rev is None:
        out = subprocess.run(["git", "ls-files", "-z", "-co", "--exclude-standard"], cwd=ROOT,
                             check=True, capture_output=True).stdout
        return {p: (lambda p=p: (ROOT / p).read_bytes(), (ROOT / p).stat().st_mode & 0o777)
                for p in out.decode().split("\0") if p and (ROOT / p).is_file()}
    archive = subprocess.run(["git", "archive", "--format=tar", rev], cwd=ROOT, check=True,
                             capture_output=True).stdout
    files = {}
    with tarfile.open(fileobj=io.BytesIO(archive)) as tar:
        for member in tar.getmembers():
            if member.isfile():
                data = tar.extractfile(member).read()
                files[member.name] = (lambda data=data: data, member.mode & 0o777)
    return files


def sync_tree(copy, rev):
    """Mirrors the tree into copy, touching only files whose bytes differ."""
    contents = tree_contents(rev)
    wanted = set(contents)
    copy.mkdir(parents=True, exist_ok=True)
    changed = 0
    for rel in sorted(wanted):
        read, mode = contents[rel]
        dst = copy / rel
        data = read()
        if dst.is_file() and dst.read_bytes() == data:
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        dst.write_bytes(data)
        os.chmod(dst, mode)
        changed += 1
    for dirpath, dirnames, filenames in os.walk(copy):
        base = Path(dirpath)
        if base == copy:
            dirnames[:] = [d for d in dirnames if d != "build"]
        for name in filenames:
            rel = (base / name).relative_to(copy).as_posix()
            if rel not in wanted:
                (base / name).unlink()
    return changed


def write_fresh(path, text):
    """Writes text and makes sure the file looks newer than anything built from it."""
    path.write_text(text, encoding="utf-8")
    now = time.time()
    os.utime(path, (now, now))


class Runner:
    def __init__(self, args, copy):
        self.args = args
        self.copy = copy
        self.build = copy / "build"
        self.selection = {}

    def run(self, cmd, cwd, timeout=None):
        """Runs cmd in its own process group; returns (status, output), status None on time-out."""
        proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                text=True, start_new_session=True)
        try:
            output, _ = proc.communicate(timeout=timeout)
            return proc.returncode, output
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            output, _ = proc.communicate()
            return None, output

    def configure(self):
        linker = ["-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld"] if shutil.which("ld.lld") else []
        status, output = self.run(["cmake", "-S", ".", "-B", "build", "-G", "Ninja",
                                   "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                                   "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", *linker], self.copy)
        if status != 0:
            sys.exit(f"mutants: configuring the copy failed:\n{output}")

    def filter_of(self, fault):
        return [] if self.args.full else fault.filter

    def tests_of(self, ctest_filter):
        key = tuple(ctest_filter)
        if key not in self.selection:
            status, output = self.run(["ctest", "--show-only=json-v1", *ctest_filter], self.build)
            if status != 0:
                sys.exit(f"mutants: ctest cannot list {shlex.join(ctest_filter)}:\n{output}")
            tests = json.loads(output).get("tests", [])
            if not tests:
                sys.exit(f"mutants: the filter {shlex.join(ctest_filter)} selects no test")
            # What to build: every program of the build tree a test's command
            # names (a test run through a script names its program after it).
            targets = set()
            for test in tests:
                for arg in test.get("command", []):
                    path = Path(arg)
                    if path.is_absolute() and self.build in path.parents and "." not in path.name:
                        targets.add(path.name)
            self.selection[key] = ([t["name"] for t in tests], sorted(targets))
        return self.selection[key]

    def build_tests(self, targets):
        return self.run(["cmake", "--build", "build", "-j", str(self.args.jobs), "--target", *targets],
                        self.copy)

    def build_all(self):
        return self.run(["cmake", "--build", "build", "-j", str(self.args.jobs)], self.copy)

    def ctest(self, tests, stop):
        cmd = ["ctest", "-j", str(self.args.jobs), "-R", "^(" + "|".join(map(re.escape, tests)) + ")$"]
        if stop:
            cmd.append("--stop-on-failure")
        status, output = self.run(cmd, self.build, timeout=self.args.timeout)
        failed = []
        for line in output.splitlines():
            m = re.search(r"Test\s+#\d+:\s+(\S+)\s", line)
            if m and "Passed" not in line and m.group(1) not in failed:
                failed.append(m.group(1))
        if status is None:
            failed.append("time-out")
        elif status != 0 and not failed:
            failed.append("ctest")
        return failed, output


def main():
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("-h", "--help", action="store_true")
    parser.add_argument("--faults", default=str(ROOT / "scripts" / "mutants.txt"))
    parser.add_argument("--work", default=str(ROOT / "build-mutants"))
    parser.add_argument("--rev")
    parser.add_argument("--full", action="store_true")
    parser.add_argument("--every-test", action="store_true")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=600)
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--no-baseline", action="store_true")
    parser.add_argument("-v", "--verbose", action="store_true")
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()
    if args.help:
        print(__doc__.strip())
        return 0

    try:
        faults = parse_faults(Path(args.faults))
    except (OSError, ListError) as e:
        print(f"mutants: {e}", file=sys.stderr)
        return 2
    if args.names:
        picked = [f for f in faults if any(fnmatch.fnmatchcase(f.name, n) for n in args.names)]
        unknown = [n for n in args.names if not any(fnmatch.fnmatchcase(f.name, n) for f in faults)]
        if unknown:
            print(f"mutants: no fault named {', '.join(unknown)}", file=sys.stderr)
            return 2
        faults = picked

    copy = Path(args.work).resolve() / "tree"
    if args.check and args.rev is None:
        tree = ROOT
    else:
        try:
            changed = sync_tree(copy, args.rev)
        except subprocess.CalledProcessError as e:
            print(f"mutants: cannot read the tree of {args.rev}: {e.stderr.decode().strip()}", file=sys.stderr)
            return 2
        print(f"mutants: copy in {copy} ({changed} files refreshed)", flush=True)
        tree = copy
    problems = [f"{f.name} ({args.faults}:{f.line}): {why}"
                for f in faults if (why := check_applies(f, tree))]
    if problems:
        print("mutants: faults that do not apply:\n  " + "\n  ".join(problems), file=sys.stderr)
        return 2
    if args.check:
        print(f"mutants: {len(faults)} faults apply")
        return 0

    os.environ.setdefault("CCACHE_BASEDIR", str(ROOT.parent))
    os.environ.setdefault("CCACHE_NOHASHDIR", "true")
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    runner = Runner(args, copy)
    runner.configure()

    status, output = runner.build_all()
    if status != 0:
        print(f"mutants: the clean tree does not build:\n{output}", file=sys.stderr)
        return 2
    if not args.no_baseline:
        selected = sorted({t for f in faults for t in runner.tests_of(runner.filter_of(f))[0]})
        failed, output = runner.ctest(selected, stop=False)
        if failed:
            print(f"mutants: on the clean tree these tests fail: {', '.join(failed)}\n{output}",
                  file=sys.stderr)
            return 2
        print(f"mutants: the clean tree passes {len(selected)} tests", flush=True)

    killed = 0
    width = max(len(f.name) for f in faults)
    for fault in faults:
        target = copy / fault.file
        original = target.read_text(encoding="utf-8")
        write_fresh(target, original.replace(fault.old_text, fault.new_text, 1))
        try:
            tests, targets = runner.tests_of(runner.filter_of(fault))
            status, output = runner.build_tests(targets)
            if status != 0:
                verdict, detail = "build-broken", ""
            else:
                failed, output = runner.ctest(tests, stop=not args.every_test)
                verdict = "killed" if failed else "survived"
                detail = "by " + ", ".join(failed) if failed else f"({len(tests)} tests ran)"
        finally:
            write_fresh(target, original)
        killed += verdict == "killed"
        print(f"{verdict:<13} {fault.name:<{width}}  {detail}".rstrip(), flush=True)
        if args.verbose and verdict != "killed":
            print(output)
    print(f"mutants killed: {killed} of {len(faults)}")
    return 0 if killed == len(faults) else 1


if __name__ == "__main__":
    sys.exit(main())
