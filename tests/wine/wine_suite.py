#!/usr/bin/env python3
"""Runs the shipped Trunpax.exe under Wine, started from the 32-bit caller.

    wine_suite.py --work DIR --trunpax EXE --helpers DIR --expected DIR STEP

STEP is one of: setup64, setup32 (fresh prefixes, each with a persistent
wineserver), stop (ends those servers), or a group of cases from cases.py:
redirection, command-lines, texts, unusable-output, writes, exit-codes,
win32, load, blank-path. Exit code 0 when every case of the step passed.

The 64-bit helpers are installed only into the 64-bit system directory of the
64-bit prefix, and Trunpax runs from a folder that holds no 64-bit helper, so
reaching a helper proves that redirection was off.
"""
import argparse
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import threading

sys.dont_write_bytecode = True  # keep the source folder clean
import cases  # noqa: E402

WINE_TOOLS = ("wine", "wineboot", "wineserver")
CALL_TIMEOUT = 60


def windows_path(path):
    """Wine's name for a Linux file: drive Z: is the Linux root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Suite:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.work)
        self.group = args.step
        self.counter = 0
        self.lock = threading.Lock()

    # --- environment -------------------------------------------------------
    def prefix(self, arch):
        return os.path.join(self.work, "prefix" + arch)

    def run_dir(self, arch):
        return os.path.join(self.work, "run" + arch)

    def env(self, arch):
        env = dict(os.environ)
        env.update(WINEPREFIX=self.prefix(arch), WINEARCH="win" + arch, WINEDEBUG="-all",
                   WINEDLLOVERRIDES="mscoree,mshtml=")
        env.pop("COMSPEC", None)
        return env

    def case_file(self, suffix):
        with self.lock:
            self.counter += 1
            number = self.counter
        folder = os.path.join(self.work, "cases", self.group)
        os.makedirs(folder, exist_ok=True)
        return os.path.join(folder, "%03d%s" % (number, suffix))

    # --- one call ----------------------------------------------------------
    def line_file(self, line):
        """A new case file holding the exact bytes of LINE; gives its Windows path."""
        path = self.case_file(".line")
        with open(path, "wb") as file:
            file.write(line.encode("latin-1"))
        return windows_path(path)

    def call(self, line, arch="64", options=(), app=None, stdout=subprocess.PIPE, shell_tail=""):
        """Starts caller.exe with the exact raw LINE; gives (exit code, out, err)."""
        command = ["wine", "caller.exe", *options]
        if app is not None:
            command += ["--app", app]
        command.append(self.line_file(line))
        if shell_tail:
            command = ["sh", "-c", 'exec "$@" ' + shell_tail, "sh", *command]
        result = subprocess.run(command, cwd=self.run_dir(arch), env=self.env(arch),
                                stdin=subprocess.DEVNULL, stdout=stdout, stderr=subprocess.PIPE,
                                timeout=CALL_TIMEOUT)
        return result.returncode, result.stdout, result.stderr

    def recorded_call(self, line, options=()):
        """Runs LINE with the recorder as COMSPEC; gives (exit code, out, err, record)."""
        record = self.case_file(".record")
        options = ["--set", "COMSPEC=" + cases.RECORDER, "--set",
                   "TRUNPAX_RECORD=" + windows_path(record), *options]
        code, out, err = self.call(line, options=options, app="Trunpax.exe")
        recorded = None
        if os.path.exists(record):
            with open(record, "rb") as file:
                recorded = file.read().decode("latin-1")
        return code, out, err, recorded

    def expected_text(self, name):
        with open(os.path.join(self.args.expected, name + ".txt"), "rb") as file:
            return file.read()

    # --- set-up ------------------------------------------------------------
    def stop_server(self, arch):
        if os.path.isdir(self.prefix(arch)):
            subprocess.run(["wineserver", "-k"], env=self.env(arch), stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)

    def setup(self, arch):
        self.stop_server(arch)
        for folder in (self.prefix(arch), self.run_dir(arch)):
            shutil.rmtree(folder, ignore_errors=True)
        if arch == "64":
            shutil.rmtree(os.path.join(self.work, "cases"), ignore_errors=True)
        os.makedirs(self.prefix(arch))
        # Wine's own processes must not hold CTest's output pipes open.
        quiet = dict(env=self.env(arch), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-p"], check=True, timeout=30, **quiet)
        log = os.path.join(self.work, "wineboot%s.log" % arch)
        with open(log, "wb") as output:
            boot = subprocess.run(["wineboot", "-i"], env=self.env(arch),
                                  stdin=subprocess.DEVNULL, stdout=output, stderr=output,
                                  timeout=300)
        if boot.returncode != 0:
            return ["wineboot -i failed with %d, see %s" % (boot.returncode, log)]

        run = self.run_dir(arch)
        os.makedirs(os.path.join(run, "Blank Dir"))
        for target in ("Trunpax.exe", "Renamed.exe", os.path.join("Blank Dir", "Trunpax.exe")):
            shutil.copy(self.args.trunpax, os.path.join(run, target))
        shutil.copy(os.path.join(self.args.helpers, "caller.exe"), run)
        if arch == "32":
            return []
        system32 = os.path.join(self.prefix(arch), "drive_c", "windows", "system32")
        for helper in ("tool64.exe", "recorder64.exe"):
            shutil.copy(os.path.join(self.args.helpers, helper), system32)
        os.makedirs(os.path.join(system32, "Blank Dir"))
        shutil.copy(os.path.join(self.args.helpers, "tool64.exe"),
                    os.path.join(system32, "Blank Dir"))
        # Where a 32-bit process would find a helper without redirection
        # being off, nothing would prove anything.
        failures = []
        syswow64 = os.path.join(self.prefix(arch), "drive_c", "windows", "syswow64")
        for folder in (run, syswow64):
            for helper in ("tool64.exe", "recorder64.exe"):
                if os.path.exists(os.path.join(folder, helper)):
                    failures.append("%s must not hold %s" % (folder, helper))
        return failures

    # --- groups of cases ---------------------------------------------------
    def redirection(self):
        for name, line, out, code in cases.REDIRECTION:
            yield name, self.check_call(line, out.encode(), code)
        for name, line in cases.REDIRECTION_CONTROL_MUST_MISS:
            yield name, lambda line=line: self.check_misses_tool(line)
        yield "probe: disable succeeds in the 64-bit prefix", self.check_call(
            None, b"found=1 result=1\r\n", 0, options=["--wow64-probe"])

    def check_misses_tool(self, line):
        code, out, err = self.call(line)
        if b"tool64 reached" in out:
            return ["the control reached the 64-bit tool, so the suite proves nothing: %r" % out]
        return []

    def check_call(self, line, expected_out, expected_code, arch="64", options=()):
        def check():
            if line is None:  # the caller's own probe, with no line file
                command = ["wine", "caller.exe", *options]
                result = subprocess.run(command, cwd=self.run_dir(arch), env=self.env(arch),
                                        stdin=subprocess.DEVNULL, capture_output=True,
                                        timeout=CALL_TIMEOUT)
                code, out = result.returncode, result.stdout
            else:
                code, out, _ = self.call(line, arch=arch, options=options)
            failures = []
            if code != expected_code:
                failures.append("exit code %d, expected %d" % (code, expected_code))
            if expected_out is not None and out != expected_out:
                failures.append("standard output %r, expected %r" % (out, expected_out))
            return failures
        return check

    def command_lines(self):
        for name, line, handed_on, code in cases.COMMAND_LINES:
            yield name, lambda line=line, handed_on=handed_on, code=code: self.check_recorded(
                line, cases.RECORDER + " /c " + handed_on, code)

    def check_recorded(self, line, expected_record, expected_code):
        code, out, err, recorded = self.recorded_call(line)
        failures = []
        if code != expected_code:
            failures.append("exit code %d, expected %d" % (code, expected_code))
        if recorded != expected_record:
            failures.append("the interpreter received %r, expected %r" % (recorded, expected_record))
        if out or err:
            failures.append("unexpected output %r / %r" % (out, err))
        return failures

    def texts(self):
        run = windows_path(self.run_dir("64"))
        for name, line, text, code in cases.TEXTS:
            line = line.replace("{run}", run)
            for target in ("file", "pipe"):
                yield "%s, to a %s" % (name, target), (
                    lambda line=line, text=text, code=code, target=target:
                    self.check_text(line, text, code, target))

    def check_text(self, line, text, code, target):
        expected = self.expected_text(text)
        if target == "file":
            path = self.case_file(".out")
            with open(path, "wb") as output:
                result = self.call(line, stdout=output)
            with open(path, "rb") as output:
                out = output.read()
            result = (result[0], out, result[2])
        else:
            result = self.call(line)
        failures = []
        if result[0] != code:
            failures.append("exit code %d, expected %d" % (result[0], code))
        if result[1] != expected:
            failures.append("output %r, expected the %d bytes of %s.txt" %
                            (result[1], len(expected), text))
        if result[2]:
            failures.append("standard error %r" % result[2])
        return failures

    def unusable_output(self):
        for line, code in cases.UNUSABLE_OUTPUT_LINES:
            for kind in cases.UNUSABLE_OUTPUTS:
                yield "%s, output %s" % (line, kind), (
                    lambda line=line, code=code, kind=kind: self.check_unusable(line, code, kind))

    def check_unusable(self, line, code, kind):
        failures = []
        if kind == "/dev/full":
            with open("/dev/full", "wb") as full:
                result = self.call(line, stdout=full)
        elif kind == "no handle":
            result = self.call(line, options=["--no-stdout"])
        elif kind == "closed fd":
            result = self.call(line, stdout=None, shell_tail=">&-")
        elif kind == "pipe already closed":
            reader, writer = os.pipe()
            os.close(reader)
            try:
                result = self.call(line, stdout=writer)
            finally:
                os.close(writer)
        else:  # the reader takes one line, then goes away
            result, first = self.call_reader_leaves(line)
            expected_first = self.expected_text("usage" if code == 1 else "help").split(b"\n")[0]
            if first != expected_first + b"\n":
                failures.append("first line %r, expected %r" % (first, expected_first))
        if result[0] != code:
            failures.append("exit code %d, expected %d" % (result[0], code))
        if result[2]:
            failures.append("standard error %r" % result[2])
        return failures

    def call_reader_leaves(self, line):
        process = subprocess.Popen(["wine", "caller.exe", self.line_file(line)],
                                   cwd=self.run_dir("64"), env=self.env("64"),
                                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        first = process.stdout.readline()
        process.stdout.close()
        err = process.stderr.read()
        code = process.wait(timeout=CALL_TIMEOUT)
        return (code, b"", err), first

    def writes(self):
        for line, text, code in (("Trunpax.exe", "usage", 1), ("Trunpax.exe /?", "help", 2)):
            yield "%s: one write per line" % text, (
                lambda line=line, text=text, code=code: self.check_writes(line, text, code))

    def check_writes(self, line, text, code):
        if shutil.which("strace") is None:
            return ["strace is not installed (scripts/setup installs it)"]
        trace = self.case_file(".strace")
        result = subprocess.run(
            ["strace", "-f", "-qq", "-e", "trace=write", "-xx", "-s", "4096", "-o", trace,
             "wine", "caller.exe", self.line_file(line)],
            cwd=self.run_dir("64"), env=self.env("64"), stdin=subprocess.DEVNULL,
            capture_output=True, timeout=CALL_TIMEOUT)
        expected = self.expected_text(text)
        lines = [part + b"\n" for part in expected.split(b"\n")[:-1]]
        # Of all writes (Wine talks to its server with writes too), keep those
        # that end a text line: each must be exactly one line of the text.
        written = []
        pattern = re.compile(r'^\d+\s+write\(\d+, "((?:\\x[0-9a-f]{2})*)"')
        with open(trace) as file:
            for entry in file:
                match = pattern.match(entry)
                if match:
                    payload = bytes.fromhex(match.group(1).replace("\\x", ""))
                    if payload.endswith(b"\r\n"):
                        written.append(payload)
        failures = []
        if result.returncode != code:
            failures.append("exit code %d, expected %d" % (result.returncode, code))
        if result.stdout != expected:
            failures.append("output %r differs from %s.txt" % (result.stdout, text))
        if written != lines:
            failures.append("writes %r, expected one per line: %r" % (written, lines))
        return failures

    def exit_codes(self):
        for name, line, options, out, code in cases.EXIT_CODES:
            yield name, self.check_call(line, None if out is None else out.encode(), code,
                                        options=options)

    def win32(self):
        yield "probe: disable exists and fails", self.check_call(
            None, b"found=1 result=0\r\n", 0, arch="32", options=["--wow64-probe"])
        for name, line, out, code in cases.WIN32:
            if out is None:
                out = self.expected_text("help").decode()
            yield name, self.check_call(line, out.encode(), code, arch="32")

    def load(self):
        for number in range(cases.LOAD_CALLS):
            parameters = "call %02d with \"its own\"  argument" % number
            line = 'Trunpax.exe "job-%02d" "%s"' % (number, parameters.replace('"', '\\"'))
            expected = "%s /c job-%02d %s" % (cases.RECORDER, number, parameters)
            yield "call %02d" % number, (lambda line=line, expected=expected:
                                         self.check_recorded(line, expected, 0))

    def blank_path(self):
        for name, line, handed_on, out in cases.BLANK_PATH:
            yield name + ": command line", (
                lambda line=line, handed_on=handed_on: self.check_recorded(
                    line, cases.RECORDER + " /c " + handed_on, 0))
            yield name + ": tool reached", self.check_call(line, out.encode(), 0)


GROUPS = {
    "redirection": (Suite.redirection, 4),
    "command-lines": (Suite.command_lines, 4),
    "texts": (Suite.texts, 4),
    "unusable-output": (Suite.unusable_output, 4),
    "writes": (Suite.writes, 1),
    "exit-codes": (Suite.exit_codes, 4),
    "win32": (Suite.win32, 4),
    "load": (Suite.load, cases.LOAD_PARALLEL),
    "blank-path": (Suite.blank_path, 4),
}


def run_group(suite, step):
    generator, parallel = GROUPS[step]
    named = list(generator(suite))
    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=parallel) as pool:
        futures = [(name, pool.submit(check)) for name, check in named]
        for name, future in futures:
            try:
                failures = future.result()
            except Exception as error:  # a hang or a missing file fails the case
                failures = ["%s: %s" % (type(error).__name__, error)]
            print("%s  %s" % ("FAIL" if failures else "ok  ", name))
            for failure in failures:
                print("      " + failure)
            failed += bool(failures)
    print("%d of %d cases failed" % (failed, len(named)))
    return 1 if failed or not named else 0


def main():
    parser = argparse.ArgumentParser()
    for option in ("--work", "--trunpax", "--helpers", "--expected"):
        parser.add_argument(option, required=True)
    parser.add_argument("step", choices=["setup64", "setup32", "stop", *GROUPS])
    args = parser.parse_args()

    missing = [tool for tool in WINE_TOOLS if shutil.which(tool) is None]
    missing += [path for path in (args.trunpax, *(os.path.join(args.helpers, name) for name in (
        "caller.exe", "tool64.exe", "recorder64.exe"))) if not os.path.isfile(path)]
    if missing:
        print("FAIL: missing %s (scripts/setup installs Wine; build the windows-x86 preset)"
              % ", ".join(missing))
        return 1

    suite = Suite(args)
    if args.step == "stop":
        for arch in ("64", "32"):
            suite.stop_server(arch)
        return 0
    if args.step.startswith("setup"):
        failures = suite.setup(args.step[-2:])
        for failure in failures:
            print("FAIL: " + failure)
        return 1 if failures else 0
    return run_group(suite, args.step)


if __name__ == "__main__":
    sys.exit(main())
