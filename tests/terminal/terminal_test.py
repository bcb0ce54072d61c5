#!/usr/bin/env python3
"""The program in a real terminal, as a user sees it.

tmux runs the program in a window of 80 columns and 25 rows, the keys are typed with send-keys
and the screen is read back with capture-pane. Each test has a tmux server of its own. Every
check waits for the screen (or the output file) to reach the expected state, up to a deadline,
instead of sleeping for fixed times; the assertion then compares the last state seen.

In a terminal the program's output is unbuffered and its code page 850 texts appear as UTF-8,
while the user's typing, Enter included, is echoed by the terminal itself.

Usage: terminal_test.py --program PATH [unittest arguments]
"""

import argparse
import functools
import os
import secrets
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

# The program's texts, shared with the system and Wine tests.
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from program_texts import AFTER_CHOICE, EXPLANATION, MENU, PRESS_ENTER  # noqa: E402

PROGRAM = None  # the built program, from --program

COLUMNS = 80
ROWS = 25
SESSION = "pokerhilfe"
DEADLINE_SECONDS = 20.0
POLL_SECONDS = 0.05


# The advice screens: the choice, each prompt with the amount typed after it, and the result.
ADVICE_SCREENS = [
    ("1", [("Big Blind: ", "2"), ("Anzahl von neu eingestiegenen Spielern: ", "3")],
     "Erhöhe auf: 14 Chips.\n\n"),
    ("2", [("Wert eingeben um den gesetzt oder erhöht wurde: ", "10"),
           ("Anzahl von mitgegangenen Spielern: ", "2")],
     "Erhöhe auf: 50 Chips.\n\n"),
    ("3", [("Momentaner Wert vom Pot: ", "30")], "Setze den Wert auf: 20 Chips.\n\n"),
]


def typed(line):
    """What the terminal shows of a line the user types: the line and the echo of Enter."""
    return line + "\n"


def terminal_rows(transcript):
    """The rows a terminal of COLUMNS columns fills with `transcript`, history included.

    A character that does not fit in a full row goes to the start of the next one; a line end
    goes to the start of the next row. Every character here is one column wide.
    """
    rows = [""]
    for character in transcript:
        if character == "\n":
            rows.append("")
            continue
        if len(rows[-1]) == COLUMNS:
            rows.append("")
        rows[-1] += character
    return rows


def visible_screen(transcript):
    """The visible rows after `transcript`, as capture-pane gives them, and the cursor."""
    rows = terminal_rows(transcript)
    visible = [row.rstrip(" ") for row in rows[-ROWS:]]
    visible += [""] * (ROWS - len(visible))
    cursor = (len(rows[-1]), min(len(rows), ROWS) - 1)
    return visible, cursor


def without_trailing_empty_rows(rows):
    rows = list(rows)
    while rows and rows[-1] == "":
        rows.pop()
    return rows


def cp850_file_bytes(text):
    """The program's bytes for `text` where standard output is not a terminal."""
    return text.encode("cp850").replace(b"\n", b"\r\n")


class Terminal:
    """A private tmux server with one window of COLUMNS x ROWS."""

    def __init__(self):
        self.server = f"pokerhilfe-test-{os.getpid()}-{secrets.token_hex(4)}"
        self.environment = dict(os.environ)
        for name in ("TMUX", "TMUX_PANE", "LC_ALL", "LC_CTYPE"):
            self.environment.pop(name, None)
        self.environment["LANG"] = "C.UTF-8"

    def tmux(self, *arguments, check=True):
        result = subprocess.run(
            ["tmux", "-u", "-L", self.server, "-f", "/dev/null", *arguments],
            stdin=subprocess.DEVNULL, capture_output=True, env=self.environment,
            timeout=DEADLINE_SECONDS)
        if check and result.returncode != 0:
            raise AssertionError(f"tmux {' '.join(arguments)} failed: "
                                 f"{result.stderr.decode('utf-8', 'replace').strip()}")
        # Strict: a byte that is not UTF-8 fails the test here.
        return result.stdout.decode("utf-8")

    def start(self, shell_command):
        # The pane stays after its process ended, so that a crash shows on the captured screen.
        self.tmux("new-session", "-d", "-x", str(COLUMNS), "-y", str(ROWS), "-s", SESSION,
                  "sh", "-c", shell_command, ";", "set-option", "-g", "remain-on-exit", "on")

    def stop(self):
        self.tmux("kill-server", check=False)

    def type_line(self, line):
        self.tmux("send-keys", "-t", SESSION, "-l", "--", line)
        self.press_enter()

    def press_enter(self):
        self.tmux("send-keys", "-t", SESSION, "Enter")

    def screen(self):
        """The visible rows; capture-pane leaves out blanks at the end of a row."""
        return self.tmux("capture-pane", "-p", "-t", SESSION).split("\n")[:ROWS]

    def screen_and_history(self):
        """Every row the terminal still holds, from the oldest of its history on."""
        captured = self.tmux("capture-pane", "-p", "-S", "-", "-t", SESSION)
        return without_trailing_empty_rows(captured.split("\n"))

    def format(self, variables):
        return self.tmux("display-message", "-p", "-t", SESSION, variables).strip()

    def size(self):
        return tuple(int(n) for n in self.format("#{pane_width} #{pane_height}").split())

    def cursor(self):
        return tuple(int(n) for n in self.format("#{cursor_x} #{cursor_y}").split())

    def history_size(self):
        return int(self.format("#{history_size}"))

    def program_ended(self):
        return self.format("#{pane_dead}") == "1"


def wait_for(probe, accept):
    """Calls `probe` until `accept` takes its value or the deadline passes; returns the last."""
    deadline = time.monotonic() + DEADLINE_SECONDS
    while True:
        value = probe()
        if accept(value) or time.monotonic() > deadline:
            return value
        time.sleep(POLL_SECONDS)


@functools.cache
def tmux_clears_history():
    """Whether this tmux empties its history on ESC [ 3 J, as xterm does."""
    probe = Terminal()
    try:
        # No line end after the mark, which would scroll a row into the history again.
        probe.start(r"seq 1 40; printf '\033[3Jcleared'; exec cat")
        wait_for(probe.screen, lambda rows: "cleared" in rows)
        return probe.history_size() == 0
    finally:
        probe.stop()


class TerminalTestCase(unittest.TestCase):
    maxDiff = None

    def setUp(self):
        if shutil.which("tmux") is None:
            self.fail("tmux is not installed, and the terminal tests run the program in tmux: "
                      "install it (Debian package tmux)")
        self.assertTrue(PROGRAM and os.access(PROGRAM, os.X_OK),
                        f"no program to run: {PROGRAM!r}")
        self.terminal = Terminal()
        self.addCleanup(self.terminal.stop)

    def start(self, before="", stdout=None):
        """Starts the program after the shell command `before`, in a fresh window."""
        command = "exec " + shlex.quote(PROGRAM)
        if stdout is not None:
            command += " > " + shlex.quote(str(stdout))
        self.terminal.start(f"{before}; {command}" if before else command)
        self.assertEqual(self.terminal.size(), (COLUMNS, ROWS))

    def state(self):
        return self.terminal.screen(), self.terminal.cursor()

    def assert_screen(self, transcript, message=None):
        """Waits until the visible screen and cursor are those after `transcript`."""
        expected = visible_screen(transcript)
        seen = wait_for(self.state, lambda state: state == expected)
        self.assertFalse(self.terminal.program_ended(), "the program has ended")
        self.assertEqual(seen, expected, message)

    def assert_everything_held(self, transcript):
        """Waits until history and screen hold exactly `transcript`, and the cursor its end."""
        rows = [row.rstrip(" ") for row in terminal_rows(transcript)]
        expected = (without_trailing_empty_rows(rows), visible_screen(transcript)[1])
        seen = wait_for(lambda: (self.terminal.screen_and_history(), self.terminal.cursor()),
                        lambda state: state == expected)
        self.assertFalse(self.terminal.program_ended(), "the program has ended")
        self.assertEqual(seen, expected)

    def assert_history_empty(self):
        with self.subTest("the terminal's history is cleared too"):
            if not tmux_clears_history():
                self.skipTest("this tmux keeps its history on ESC [ 3 J")
            self.assertEqual(self.terminal.history_size(), 0)


class MenuTest(TerminalTestCase):
    def test_menu_shows_the_umlauts_as_utf8(self):
        self.start()

        self.assert_screen(MENU)
        shown = "\n".join(self.terminal.screen())
        for word in ("erhöhen", "Hälfte", "würde"):
            self.assertIn(word, shown)

    def test_menus_stand_one_below_the_other_after_choices_that_select_nothing(self):
        self.start()
        transcript = MENU
        self.assert_screen(transcript)

        # Four menus need more than 25 rows: the first ones scroll into the history and stay.
        for choice in ("4", "99", "-1"):
            self.terminal.type_line(choice)
            transcript += typed(choice) + AFTER_CHOICE + MENU
            self.assert_everything_held(transcript)

        self.assertGreater(self.terminal.history_size(), 0)


class ClearingTest(TerminalTestCase):
    def test_each_advice_screen_ends_on_a_clean_terminal(self):
        # Something on the screen and in the history before the program starts.
        self.start("seq 1 40")
        transcript = "".join(f"{n}\n" for n in range(1, 41)) + MENU
        self.assert_everything_held(transcript)

        for choice, prompts, result in ADVICE_SCREENS:
            self.terminal.type_line(choice)
            transcript += typed(choice) + AFTER_CHOICE
            for prompt, amount in prompts:
                transcript += prompt
                self.assert_screen(transcript)
                self.terminal.type_line(amount)
                transcript += typed(amount)
            transcript += result + PRESS_ENTER
            self.assert_screen(transcript)

            self.terminal.press_enter()

            # The next menu from the top-left cell, nothing else, the cursor after the prompt.
            transcript = MENU
            self.assert_screen(transcript, f"after the screen of choice {choice}")
            self.assert_history_empty()

    def test_explanation_waits_without_a_prompt_and_enter_clears(self):
        self.start()
        self.assert_screen(MENU)

        self.terminal.type_line("0")
        self.assert_screen(MENU + typed("0") + AFTER_CHOICE + EXPLANATION)
        self.terminal.press_enter()

        self.assert_screen(MENU)

    def test_terminal_is_cleared_while_the_texts_go_to_a_file(self):
        directory = tempfile.mkdtemp(prefix="pokerhilfe-terminal-")
        self.addCleanup(shutil.rmtree, directory)
        output = Path(directory) / "ausgabe.txt"
        self.start("seq 1 40", stdout=output)
        expected = MENU

        def file_holds(text):
            wanted = cp850_file_bytes(text)
            held = wait_for(lambda: output.read_bytes() if output.exists() else b"",
                            lambda held: held == wanted)
            self.assertEqual(held, wanted)

        # Each read first hands the buffered texts to the file, so the file shows where the
        # program waits; on the terminal there is only the typing.
        file_holds(expected)
        choice, prompts, result = ADVICE_SCREENS[0]
        self.terminal.type_line(choice)
        expected += AFTER_CHOICE
        for prompt, amount in prompts:
            expected += prompt
            file_holds(expected)
            self.terminal.type_line(amount)
        expected += result + PRESS_ENTER
        file_holds(expected)
        self.assertIn("40", self.terminal.screen())

        self.terminal.press_enter()

        self.assert_screen("")
        self.assert_history_empty()
        file_holds(expected + MENU)


def main():
    global PROGRAM
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the built pokerhilfe")
    arguments, rest = parser.parse_known_args()
    PROGRAM = os.path.abspath(arguments.program)
    unittest.main(argv=[sys.argv[0], *rest])


if __name__ == "__main__":
    main()
