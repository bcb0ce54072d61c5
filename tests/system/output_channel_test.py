"""Standard output of the built program: when the bytes leave the process, in how many writes,
and what happens when nobody can take them.

Redirected to a file or a pipe, output is held back and handed over before each read, so a whole
menu leaves in one write. On a character device (/dev/null here) every byte leaves at once, a
line feed as the two bytes CR LF in one write. A write that fails silences the output for good,
without a message; the program reads its input to the end and ends with status 0.

The write calls are watched with strace, which sees only a program that runs natively; under a
wrapper such as Wine those tests are skipped.
"""

import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import threading
import time

from session import (
    AFTER_CHOICE,
    MENU,
    POT,
    ProgramTestCase,
    chosen,
    encode,
    encode_unbuffered,
    hang_guard,
    main,
    run,
    start,
    wait_for_size,
    wrapped,
)

# A long session that passes every screen many times, so that the program writes a lot.
LONG_SESSION = b"0\n\n1\n2\n3\n\n2\n10\n2\n\n3\n100\n\n4\nabc\n" * 200

# How long output that is complete must stay unchanged to count as complete. Not a speed
# assertion: a program that is still writing would add its bytes long before this.
QUIET_PERIOD = 0.3


def read_exactly(stream, size, timeout):
    """Reads `size` bytes from a pipe, or what came before its end or before `timeout`."""
    data = b""
    deadline = time.monotonic() + timeout
    while len(data) < size:
        remaining = deadline - time.monotonic()
        if remaining <= 0 or not select.select([stream], [], [], remaining)[0]:
            break
        chunk = os.read(stream.fileno(), size - len(data))
        if not chunk:
            break
        data += chunk
    return data


def feed_in_background(pipe, data):
    """Writes `data` to the program's standard input and closes it, from a thread of its own, so
    that the test can wait for the program with a hang guard. A program that stops reading makes
    the write fail; its exit status tells the rest."""

    def feed():
        try:
            pipe.write(data)
            pipe.close()
        except OSError:
            pass

    thread = threading.Thread(target=feed, daemon=True)
    thread.start()
    return thread


class HeldAtReadTest(ProgramTestCase):
    """Standard output redirected to a file, standard input a FIFO that stays open and silent:
    the program waits at its read, and the file shows what it has handed over by then."""

    def setUp(self):
        if not hasattr(os, "mkfifo"):
            self.skipTest("this system has no FIFOs")
        directory = tempfile.TemporaryDirectory()
        self.addCleanup(directory.cleanup)
        self.output_path = os.path.join(directory.name, "output")
        fifo = os.path.join(directory.name, "input")
        os.mkfifo(fifo)
        # Opening the reading end without waiting for a writer, then the writing end, keeps the
        # FIFO open: the program's reads wait instead of finding the end.
        reader = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
        self.writer = os.open(fifo, os.O_WRONLY)
        os.set_blocking(reader, True)
        with open(self.output_path, "wb") as output:
            self.process = start(stdin=reader, stdout=output, stderr=subprocess.PIPE)
        os.close(reader)
        self.addCleanup(self.stop)

    def stop(self):
        if self.writer is not None:
            os.close(self.writer)
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        self.process.stderr.close()

    def assertHeldWith(self, transcript):
        """The file holds exactly `transcript`, and nothing more comes while the program waits."""
        expected = encode(transcript)
        self.assertEqual(wait_for_size(self.output_path, len(expected), hang_guard()), expected)
        time.sleep(QUIET_PERIOD)
        with open(self.output_path, "rb") as file:
            self.assertEqual(file.read(), expected)
        self.assertIsNone(self.process.poll(), "the program should be waiting for input")

    def test_the_whole_first_menu_is_out_before_the_first_read(self):
        self.assertHeldWith(MENU)

    def test_each_prompt_is_out_before_its_read_and_the_end_ends_the_program(self):
        self.assertHeldWith(MENU)
        os.write(self.writer, b"3\n")
        self.assertHeldWith(chosen(POT))
        os.close(self.writer)
        self.writer = None
        self.assertEqual(self.process.wait(timeout=hang_guard()), 0)
        self.assertEqual(self.process.stderr.read(), b"")
        with open(self.output_path, "rb") as file:
            self.assertEqual(file.read(), encode(chosen(POT)))


class FailingOutputTest(ProgramTestCase):
    """Output that nobody can take is lost without a message; the program runs to the end of
    its input and ends with status 0, not killed by a signal."""

    def test_a_full_device(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("this system has no /dev/full")
        with open("/dev/full", "wb") as full:
            result = run(LONG_SESSION, stdout=full)
        self.assertEndsCleanly(result)

    def test_a_pipe_closed_before_the_program_starts(self):
        reading_end, writing_end = os.pipe()
        os.close(reading_end)
        try:
            result = run(LONG_SESSION, stdout=writing_end)
        finally:
            os.close(writing_end)
        self.assertEndsCleanly(result)

    def test_a_pipe_closed_by_its_reader_after_the_first_menu(self):
        process = start(stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            first_menu = encode(MENU)
            self.assertEqual(read_exactly(process.stdout, len(first_menu), hang_guard()),
                             first_menu)
            process.stdout.close()  # the reader goes away
            feed_in_background(process.stdin, LONG_SESSION)
            returncode = process.wait(timeout=hang_guard())
            stderr = process.stderr.read()
        finally:
            if process.poll() is None:
                process.kill()
                process.wait()
            process.stderr.close()
        self.assertNotEqual(returncode, -signal.SIGPIPE, "killed by SIGPIPE")
        self.assertEqual(returncode, 0)
        self.assertEqual(stderr, b"")


# --- Write calls, seen with strace ----------------------------------------------------------

# One traced write to standard output, as strace prints it with -xx (every byte as \xNN):
#   1234 write(1, "\x28\x30", 2) = 2
#   1234 write(1, "\x28\x30", 2) = -1 EPIPE (Broken pipe)
WRITE_CALL = re.compile(
    r'^(?:\d+\s+)?write\(1, "((?:\\x[0-9a-f]{2})*)", (\d+)\)\s+= (-?\d+)(?: (\w+))?'
)


class WriteCall:
    def __init__(self, data, result, error):
        self.data = data
        self.result = result
        self.error = error

    def __repr__(self):
        return f"write({self.data!r}) = {self.result} {self.error or ''}"


def parse_writes(log):
    """The write calls to standard output in an strace log, in order."""
    calls = []
    for line in log.splitlines():
        match = WRITE_CALL.match(line)
        if match:
            data = bytes.fromhex(match.group(1).replace("\\x", ""))
            calls.append(WriteCall(data, int(match.group(3)), match.group(4)))
        elif "write(1," in line:
            raise ValueError(f"a write to standard output that could not be read: {line}")
    return calls


class WriteCallTest(ProgramTestCase):
    @classmethod
    def setUpClass(cls):
        cls.cannot_trace = None
        if wrapped():
            cls.cannot_trace = ("strace would see the wrapper's writes, not the program's; "
                                "write calls are checked on the native build only")
        elif shutil.which("strace") is None:
            cls.cannot_trace = "strace is not installed; install it to check the write calls"

    def setUp(self):
        if self.cannot_trace:
            self.skipTest(self.cannot_trace)

    def traced_run(self, input_bytes, stdout=None):
        """Runs the program under strace; returns the run and its writes to standard output."""
        with tempfile.TemporaryDirectory() as directory:
            log_path = os.path.join(directory, "strace.log")
            strace = ["strace", "-f", "-qq", "-e", "trace=write", "-e", "signal=none", "-xx",
                      "-s", "1000000", "-o", log_path, "--"]
            result = run(input_bytes, stdout=stdout, prefix=strace)
            with open(log_path, encoding="ascii") as log:
                return result, parse_writes(log.read())

    def test_redirected_output_leaves_a_whole_menu_per_write(self):
        for target, stdout in [("a file", None), ("a pipe", subprocess.PIPE)]:
            with self.subTest(stdout=target):
                result, writes = self.traced_run(b"4\n", stdout=stdout)
                self.assertEndsCleanly(result)
                self.assertEqual([call.data for call in writes],
                                 [encode(MENU), encode(AFTER_CHOICE + MENU)])
                self.assertEqual([call.result for call in writes],
                                 [len(call.data) for call in writes])

    def test_on_a_character_device_every_byte_leaves_at_once(self):
        with open(os.devnull, "wb") as null_device:
            result, writes = self.traced_run(b"", stdout=null_device)
        self.assertEndsCleanly(result)
        self.assertEqual([call.data for call in writes], encode_unbuffered(MENU))

    def test_after_a_failed_write_nothing_more_is_written(self):
        reading_end, writing_end = os.pipe()
        os.close(reading_end)
        try:
            result, writes = self.traced_run(LONG_SESSION, stdout=writing_end)
        finally:
            os.close(writing_end)
        self.assertEndsCleanly(result)
        self.assertEqual(len(writes), 1, writes)
        self.assertEqual(writes[0].data, encode(MENU))
        self.assertEqual((writes[0].result, writes[0].error), (-1, "EPIPE"))


if __name__ == "__main__":
    main()
