"""Faults from outside, through the built program: input that ends anywhere, no terminal at all,
and a single line far larger than any buffer.

Standard output on a full disk and on a pipe whose reader has gone are in output_channel_test.
"""

import os
import subprocess
import tempfile
import time

from session import ProgramTestCase, encode, hang_guard, main, run, start, wrapped, MENU

# A session that visits every screen, rejects a few lines, and uses every kind of line end.
LONG_SESSION = (
    b"1\n2\n3\n\n"
    b"2\n10\n2\n\n"
    b"3\n100\n\n"
    b"0\n\n"
    b"abc\n4\n-1\n"
    b"1 2 3\n\n"
    b"2\nx\n0.15\n4 \n"
    b"3\r\n1e400\r\n\r\n"
    b"  7 1\n-2\n1\n\n"
    b"3\n30\x1a ignored after Ctrl+Z\n"
)


class EndOfInputAnywhereTest(ProgramTestCase):
    """The session cut at every byte: each run ends by itself with status 0 and nothing on
    standard error. Cut right after a line end, the program has acted on whole lines only, so
    what it wrote is the start of what the whole session writes."""

    @classmethod
    def setUpClass(cls):
        cls.whole = run(LONG_SESSION)
        # Under a wrapper every run costs a start of the wrapper: every seventh cut, and every
        # line end, stand in for all of them there.
        cls.step = 7 if wrapped() else 1

    def test_the_whole_session_ends_cleanly(self):
        self.assertEndsCleanly(self.whole)
        self.assertTrue(self.whole.stdout.startswith(encode(MENU)))

    def test_cut_at_every_byte(self):
        for length in range(len(LONG_SESSION) + 1):
            cut_after_line_end = length > 0 and LONG_SESSION[length - 1] == ord("\n")
            if length % self.step != 0 and not cut_after_line_end:
                continue
            with self.subTest(length=length, input=LONG_SESSION[:length][-20:]):
                result = run(LONG_SESSION[:length])
                self.assertEndsCleanly(result)
                self.assertTrue(result.stdout.startswith(encode(MENU)))
                if cut_after_line_end:
                    self.assertTrue(self.whole.stdout.startswith(result.stdout))


class NoTerminalTest(ProgramTestCase):
    """Every run of these tests starts in a session of its own (setsid), without a controlling
    terminal: there is no console to clear, and the program goes on as if there were."""

    def test_without_a_terminal_the_screens_run_and_nothing_but_the_texts_is_written(self):
        result = run(b"1\n2\n3\n\n0\n\n")
        self.assertEndsCleanly(result)
        self.assertNotIn(b"\x1b", result.stdout, "an escape sequence reached standard output")
        self.assertIn(encode("Erhöhe auf: 14 Chips.\n"), result.stdout)
        self.assertEqual(result.stdout.count(encode(MENU)), 3)


GIGABYTE = 1 << 30


def peak_memory_of_run(line_length, digit=b"7"):
    """Runs choice 3 with a pot of `line_length` digits on one line, fed through a pipe as it is
    read, and returns the peak resident memory of the program in kilobytes, as Linux counts it
    since the program started (VmHWM), read while the program waits at the next menu."""
    with tempfile.NamedTemporaryFile() as output:
        process = start(stdin=subprocess.PIPE, stdout=output, stderr=subprocess.DEVNULL)
        try:
            block = digit * (1 << 20)
            process.stdin.write(b"3\n")
            for _ in range(line_length // len(block)):
                process.stdin.write(block)
            process.stdin.write(digit * (line_length % len(block)) + b"\n\n")
            process.stdin.flush()
            # The second menu is out when the program waits for the next choice.
            deadline = time.monotonic() + hang_guard()
            while read_file(output.name).count(encode(MENU)) < 2:
                if time.monotonic() > deadline:
                    raise AssertionError("the program did not come back to the menu")
                time.sleep(0.01)
            with open(f"/proc/{process.pid}/status", encoding="ascii") as status:
                fields = dict(line.split(":", 1) for line in status)
            return int(fields["VmHWM"].split()[0])
        finally:
            process.stdin.close()
            process.wait(timeout=hang_guard())


def read_file(path):
    with open(path, "rb") as file:
        return file.read()


class GigabyteLineTest(ProgramTestCase):
    """A line of a gigabyte of digits is read as a stream: the program's memory stays where a
    short run leaves it. (How its time grows with the size is measured by the benchmarks.)"""

    def setUp(self):
        if wrapped():
            self.skipTest("the memory measured would be the wrapper's, not the program's")
        if not os.path.exists(f"/proc/{os.getpid()}/status"):
            self.skipTest("the peak memory of a process is read from Linux's /proc")

    def test_memory_stays_flat(self):
        short_peak = peak_memory_of_run(10)
        long_peak = peak_memory_of_run(GIGABYTE)
        # A megabyte of slack for the allocator and the C library, nothing like the input.
        self.assertLess(long_peak - short_peak, 1024, (short_peak, long_peak))


if __name__ == "__main__":
    main()
