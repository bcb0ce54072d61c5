"""Shared pieces of the system tests: running the built program, and the program's texts
(from ../program_texts.py) to build the expected transcripts.

Every test script takes
    --program PATH   the built pokerhilfe
    --wrapper CMD    an optional command prefix that runs it, for example Wine for the Windows
                     build; empty runs the program directly.
Every other argument goes to unittest.
"""

import argparse
import os
import shlex
import subprocess
import sys
import tempfile
import time
import unittest

# The program's texts, shared with the terminal and Wine tests.
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from program_texts import *  # noqa: E402,F401,F403  (re-exported for the test scripts)

# --- Running the program ----------------------------------------------------------------------


class Config:
    program = None
    wrapper = []


def command():
    """The command line that starts the program."""
    return Config.wrapper + [Config.program]


def wrapped():
    """Whether the program runs under a wrapper such as Wine, not as a process of its own."""
    return bool(Config.wrapper)


def hang_guard():
    """Seconds after which a run counts as hung. Only a guard against a test that never ends:
    generous, and larger under a wrapper, whose start alone can take seconds."""
    return 120.0 if wrapped() else 20.0


def environment(traced=False):
    env = dict(os.environ)
    if traced:
        # A program built with AddressSanitizer checks for leaks at its end, which cannot work
        # under a tracer; everything else of the sanitizers still does.
        env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    if wrapped():
        env.setdefault("WINEDEBUG", "-all")  # Wine's own diagnostics would land on stderr
        for name in ("DISPLAY", "WAYLAND_DISPLAY"):
            env.pop(name, None)  # a console program needs no window
    return env


def start(prefix=(), **popen_arguments):
    """Starts the program, after the command `prefix` if one is given (a tracer). It gets a
    session of its own, so that it has no terminal to clear and cannot touch the terminal of
    whoever runs the tests."""
    return subprocess.Popen(
        list(prefix) + command(), env=environment(traced=bool(prefix)), start_new_session=True,
        **popen_arguments
    )


def run(input_bytes, stdout=None, prefix=()):
    """Runs the program with `input_bytes` as its whole standard input and returns the completed
    process: its exit status, standard output and standard error.

    Standard output goes to a temporary file unless `stdout` names another place (a file, a
    descriptor, or subprocess.PIPE for a pipe). Files, not pipes, collect the output by default
    because a wrapper may leave helper processes behind (Wine's services) that inherit the
    pipes and hold them open for seconds after the program has ended; with files the run ends
    when the program does.
    """
    with tempfile.TemporaryFile() as output, tempfile.TemporaryFile() as errors:
        process = start(
            stdin=subprocess.PIPE,
            stdout=output if stdout is None else stdout,
            stderr=errors,
            prefix=prefix,
        )
        try:
            piped_output, _ = process.communicate(input_bytes, timeout=hang_guard())
        except BaseException:
            process.kill()
            process.wait()
            raise
        output.seek(0)
        errors.seek(0)
        return subprocess.CompletedProcess(
            process.args,
            process.returncode,
            output.read() if stdout is None else piped_output,
            errors.read(),
        )


def wait_for_size(path, size, timeout):
    """Waits until the file at `path` holds at least `size` bytes or `timeout` seconds pass;
    returns its contents."""
    deadline = time.monotonic() + timeout
    while True:
        with open(path, "rb") as file:
            contents = file.read()
        if len(contents) >= size or time.monotonic() >= deadline:
            return contents
        time.sleep(0.01)


class ProgramTestCase(unittest.TestCase):
    maxDiff = None

    def assertEndsCleanly(self, result):
        """Exit status 0 and nothing on standard error."""
        self.assertEqual(result.returncode, 0, f"exit status; stderr: {result.stderr!r}")
        self.assertEqual(result.stderr, b"", "standard error")

    def assertSession(self, input_bytes, transcript):
        """Runs the program on `input_bytes` and checks that it writes exactly `transcript`,
        ends with status 0 and writes nothing on standard error."""
        result = run(input_bytes)
        self.assertEndsCleanly(result)
        # Code page 850 decodes every byte, so comparing the decoded texts compares the bytes,
        # and a difference shows as readable text.
        self.assertEqual(result.stdout.decode("cp850"), encode(transcript).decode("cp850"))

    def assertSessions(self, cases):
        """`assertSession` for each (input, transcript) pair of a table."""
        for input_bytes, transcript in cases:
            with self.subTest(input=input_bytes[:80]):
                self.assertSession(input_bytes, transcript)


def keep_wrapper_running():
    """Under a wrapper, starts one instance of the program that waits at its first read until
    the tests are done, and returns a function that ends it. Wine's server stops a few seconds
    after its last program has ended, and a program that starts at that moment can lose its
    connection to it ("wine client error"); the waiting instance keeps the server up for the
    whole run."""
    if not wrapped():
        return lambda: None
    keeper = start(stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop():
        keeper.stdin.close()  # the end of its input ends it
        try:
            keeper.wait(timeout=hang_guard())
        except subprocess.TimeoutExpired:
            keeper.kill()
            keeper.wait()

    return stop


def main():
    """Entry point of every test script: takes the program's arguments, runs the tests."""
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--program", required=True)
    parser.add_argument("--wrapper", default="")
    arguments, rest = parser.parse_known_args()
    Config.program = arguments.program
    Config.wrapper = shlex.split(arguments.wrapper)
    stop_keeper = keep_wrapper_running()
    try:
        outcome = unittest.main(argv=[sys.argv[0]] + rest, exit=False)
    finally:
        stop_keeper()
    sys.exit(0 if outcome.result.wasSuccessful() else 1)
