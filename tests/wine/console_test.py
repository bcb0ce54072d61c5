#!/usr/bin/env python3
"""pokerhilfe.exe on a console: the Windows program under Wine, in a tmux pane of 80 x 25 cells.

Started from a terminal, Wine gives a console program a real Windows console whose screen
buffer is the size of the terminal, and draws that console on the terminal. So the pane shows
what a user of the program sees: the code page 850 texts as letters, the result of a screen,
and the console cleared after Enter by the console operations of the program (not by anything
written to standard output), with the next menu in the top-left cell.

The console uses code page 850 when the German locale is there; it is built in a private
directory when the system lacks it. (Code page 437, which Wine falls back to, shows ä, ö and ü
from the same bytes as 850.)

    console_test.py --program build/windows/pokerhilfe.exe --wine /usr/lib/wine/wine64 \
        --wine-prefix build/windows/wineprefix --locale-dir build/windows/locale
"""

import argparse
import itertools
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import wine_prefix  # noqa: E402  (beside this file)

# The program's texts, shared with the system and terminal tests.
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent))
from program_texts import MENU, encode  # noqa: E402

COLUMNS = 80
ROWS = 25

# How long a wait for the console may take before the test gives up: a guard against a program
# that hangs, far above what Wine needs.
WAIT_DEADLINE_SECONDS = 60
POLL_INTERVAL_SECONDS = 0.1

GERMAN_LOCALE = "de_DE.UTF-8"
FALLBACK_LOCALE = "C.UTF-8"

# The menu row by row, as the pane shows it: a pane row shows no blanks at its end.
MENU_ROWS = [line.rstrip(" ") for line in MENU.split("\n")]
PROMPT_COLUMN = len("Auswahl: ")

# Choice 1 with a big blind of 2 and 3 players who came in: 4 x 2 + 3 x 2.
OPENING_RAISE_INPUT = ("1", "2", "3")
OPENING_RAISE_RESULT_ROWS = [
    "Erhöhe auf: 14 Chips.",
    "",
    "Eingabetaste (Enter) drücken um eine neue Eingabe zu machen.",
]
OPENING_RAISE_OUTPUT = (
    MENU
    + "\n"
    + "Big Blind: "
    + "Anzahl von neu eingestiegenen Spielern: "
    + "Erhöhe auf: 14 Chips.\n\n"
    + "Eingabetaste (Enter) drücken um eine neue Eingabe zu machen.\n"
)

# What the console showed before the program started: a console program starts wherever the
# cursor stands, and clearing must blank what was there before it, too.
EARLIER_ROWS = ["C:\\Spiele> Zeile vom Start 1", "Zeile vom Start 2", "Zeile vom Start 3"]


def console_locale(locale_dir):
    """The locale variables for the console, building the German locale privately if needed."""
    installed = subprocess.run(["locale", "-a"], capture_output=True, text=True, check=False)
    names = {name.lower().replace("-", "") for name in installed.stdout.split()}
    if "de_de.utf8" in names:
        return {"LANG": GERMAN_LOCALE, "LC_ALL": GERMAN_LOCALE}
    built = pathlib.Path(locale_dir) / GERMAN_LOCALE
    if not (built / "LC_CTYPE").exists() and shutil.which("localedef"):
        try:
            built.parent.mkdir(parents=True, exist_ok=True)
        except OSError:
            pass  # no place for it: localedef fails below and the fallback is taken
        subprocess.run(
            ["localedef", "-i", "de_DE", "-f", "UTF-8", str(built)],
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            check=False,
        )
    if (built / "LC_CTYPE").exists():
        return {"LANG": GERMAN_LOCALE, "LC_ALL": GERMAN_LOCALE, "LOCPATH": str(built.parent)}
    print(
        f"note: no {GERMAN_LOCALE} locale (package locales); the console uses code page 437",
        file=sys.stderr,
    )
    return {"LANG": FALLBACK_LOCALE, "LC_ALL": FALLBACK_LOCALE}


class WineConsole:
    """The program under Wine in the one pane of a private tmux server, typed at like a user."""

    _servers = itertools.count()

    def __init__(self, settings):
        self._settings = settings
        self._server = f"pokerhilfe-wine-{os.getpid()}-{next(self._servers)}"
        self._environment = wine_prefix.wine_environment(settings.wine_prefix)
        # tmux itself reads and writes UTF-8; the pane gets the console's locale below.
        self._environment.update({"LANG": FALLBACK_LOCALE, "LC_ALL": FALLBACK_LOCALE})
        self._environment.pop("LOCPATH", None)
        self._started = False
        self._socket = ""

    def start(self, earlier_rows=(), standard_output=None):
        """Shows `earlier_rows`, then runs the program, its standard output to a file if given."""
        pane_variables = {
            "WINEPREFIX": self._environment["WINEPREFIX"],
            "WINEDEBUG": self._environment["WINEDEBUG"],
            **self._settings.locale,
        }
        script = (
            'wine="$1"; program="$2"; output="$3"; shift 3; printf "%s\\n" "$@"; '
            'if [ -n "$output" ]; then exec "$wine" "$program" >"$output"; fi; '
            'exec "$wine" "$program"'
        )
        command = ["sh", "-c", script, "sh", self._settings.wine, self._settings.program]
        command += [str(standard_output or ""), *earlier_rows]
        environment_options = []
        for name, value in pane_variables.items():
            environment_options += ["-e", f"{name}={value}"]
        # The pane stays when the program ends, so that its end can be seen.
        self._tmux(
            "start-server", ";",
            "set-option", "-g", "remain-on-exit", "on", ";",
            "new-session", "-d", "-s", "pokerhilfe", "-x", str(COLUMNS), "-y", str(ROWS),
            *environment_options, *command,
        )  # fmt: skip
        self._started = True
        self._socket = self._tmux("display-message", "-p", "#{socket_path}").stdout.strip()

    def stop(self):
        if self._started:
            self._tmux("kill-server", check=False)
            self._started = False
            if self._socket:  # the server leaves its socket behind
                pathlib.Path(self._socket).unlink(missing_ok=True)

    def type_line(self, text):
        """Types `text` and presses Enter."""
        if text:
            self._tmux("send-keys", "-t", "pokerhilfe", "-l", text)
        self.press("Enter")

    def press(self, key):
        self._tmux("send-keys", "-t", "pokerhilfe", key)

    def rows(self):
        """The pane's rows as text, without the blanks at their ends. A cell in colours other
        than the console's light grey on black would show as an escape sequence in its row."""
        shown = self._tmux("capture-pane", "-p", "-e", "-t", "pokerhilfe").stdout
        rows = [row.rstrip(" ") for row in shown.split("\n")][:ROWS]
        return rows + [""] * (ROWS - len(rows))

    def cursor(self):
        """The cursor's cell as (column, row)."""
        shown = self._tmux("display-message", "-p", "-t", "pokerhilfe", "#{cursor_x} #{cursor_y}")
        column, row = shown.stdout.split()
        return int(column), int(row)

    def program_ended(self):
        shown = self._tmux("display-message", "-p", "-t", "pokerhilfe", "#{pane_dead}")
        return shown.stdout.strip() == "1"

    def _tmux(self, *arguments, check=True):
        return subprocess.run(
            [self._settings.tmux, "-u", "-L", self._server, "-f", "/dev/null", *arguments],
            env=self._environment,
            stdin=subprocess.DEVNULL,
            capture_output=True,
            text=True,
            check=check,
        )


class ConsoleTest(unittest.TestCase):
    settings = None  # set by main()

    def setUp(self):
        self.console = WineConsole(self.settings)
        self.addCleanup(self.console.stop)

    def wait_until(self, condition, what):
        """Polls until `condition()` holds; fails with the pane's rows when it never does."""
        deadline = time.monotonic() + WAIT_DEADLINE_SECONDS
        while not condition():
            if time.monotonic() > deadline:
                rows = enumerate(self.console.rows())
                shown = "\n".join(f"{row:2} |{text}" for row, text in rows)
                self.fail(f"{what}: not seen; the console shows\n{shown}")
            time.sleep(POLL_INTERVAL_SECONDS)

    def wait_for_screen(self, expected_rows, expected_cursor, what):
        expected = expected_rows + [""] * (ROWS - len(expected_rows))
        self.wait_until(
            lambda: self.console.rows() == expected and self.console.cursor() == expected_cursor,
            what,
        )

    def wait_for_rows(self, rows, what):
        """Waits until `rows` stand one below the other somewhere on the console."""

        def shown():
            current = self.console.rows()
            return any(
                current[top : top + len(rows)] == rows for top in range(ROWS - len(rows) + 1)
            )

        self.wait_until(shown, what)

    def wait_for_prompt(self, prompt):
        """Waits until the last row written so far is `prompt`, waiting for the user."""

        def shown():
            row = self.console.cursor()[1]
            return self.console.rows()[row] == prompt.rstrip(" ")

        self.wait_until(shown, f"the prompt {prompt!r}")

    def wait_for_output(self, path, expected):
        def written():
            return path.exists() and path.read_bytes() == expected

        self.wait_until(written, f"standard output {expected[-40:]!r}")

    def test_first_menu_starts_where_the_cursor_stands_with_its_german_letters(self):
        self.console.start(earlier_rows=EARLIER_ROWS)
        menu_top = len(EARLIER_ROWS)
        self.wait_for_screen(
            EARLIER_ROWS + MENU_ROWS,
            (PROMPT_COLUMN, menu_top + len(MENU_ROWS) - 1),
            "the menu below the rows that were there before, nothing cleared",
        )

    def test_after_a_result_enter_clears_the_console_and_the_menu_starts_top_left(self):
        self.console.start(earlier_rows=EARLIER_ROWS)
        choice, big_blind, players = OPENING_RAISE_INPUT
        self.wait_for_prompt("Auswahl: ")
        self.console.type_line(choice)
        self.wait_for_prompt("Big Blind: ")
        self.console.type_line(big_blind)
        self.wait_for_prompt("Anzahl von neu eingestiegenen Spielern: ")
        self.console.type_line(players)
        self.wait_for_rows(OPENING_RAISE_RESULT_ROWS, "the result and the request for Enter")

        self.console.press("Enter")
        self.wait_for_screen(
            MENU_ROWS,
            (PROMPT_COLUMN, len(MENU_ROWS) - 1),
            "a blank console with the next menu from the top-left cell on",
        )

    def test_console_is_cleared_while_standard_output_goes_to_a_file(self):
        output = pathlib.Path(self.settings.work_dir) / "standard-output.bin"
        output.unlink(missing_ok=True)
        self.console.start(earlier_rows=EARLIER_ROWS, standard_output=output)
        # The texts go to the file, each part once the program waits for input; the console
        # shows only what the user types.
        choice, big_blind, players = OPENING_RAISE_INPUT
        self.wait_for_output(output, encode(MENU))
        self.console.type_line(choice)
        self.wait_for_output(output, encode(MENU + "\nBig Blind: "))
        self.console.type_line(big_blind)
        second_prompt = "Anzahl von neu eingestiegenen Spielern: "
        self.wait_for_output(output, encode(f"{MENU}\nBig Blind: {second_prompt}"))
        self.console.type_line(players)
        self.wait_for_output(output, encode(OPENING_RAISE_OUTPUT))
        self.wait_for_screen(
            EARLIER_ROWS + list(OPENING_RAISE_INPUT),
            (0, len(EARLIER_ROWS) + len(OPENING_RAISE_INPUT)),
            "the typed numbers below the rows from before",
        )

        self.console.press("Enter")
        self.wait_for_screen([], (0, 0), "a blank console with the cursor in the top-left cell")
        self.wait_for_output(output, encode(OPENING_RAISE_OUTPUT + MENU))

    def test_ctrl_c_ends_the_program(self):
        self.console.start()
        self.wait_for_prompt("Auswahl: ")
        self.console.press("C-c")
        self.wait_until(self.console.program_ended, "the end of the program after Ctrl+C")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--program", required=True, help="pokerhilfe.exe")
    parser.add_argument("--wine", required=True, help="the Wine program (wine64)")
    parser.add_argument("--wine-prefix", help="Wine's prefix (default: a temporary one)")
    parser.add_argument("--locale-dir", help="where to build a missing German locale")
    parser.add_argument("--tmux", default="tmux", help="the tmux program")
    arguments, unittest_arguments = parser.parse_known_args()

    wine = wine_prefix.find_wine(arguments.wine)
    if wine is None:
        wine_prefix.skip_or_fail(f"Wine was not found ({arguments.wine!r}); package wine64")
    tmux = shutil.which(arguments.tmux)
    if tmux is None:
        wine_prefix.skip_or_fail(f"tmux was not found ({arguments.tmux!r}); package tmux")
    program = pathlib.Path(arguments.program).resolve()
    if not program.is_file():
        parser.error(f"no program at {program}")

    with tempfile.TemporaryDirectory(prefix="pokerhilfe-wine-") as work_dir:
        prefix = arguments.wine_prefix or os.path.join(work_dir, "wineprefix")
        wine_prefix.prepare_prefix(wine, prefix)
        ConsoleTest.settings = argparse.Namespace(
            program=str(program),
            wine=wine,
            tmux=tmux,
            wine_prefix=prefix,
            locale=console_locale(arguments.locale_dir or os.path.join(work_dir, "locale")),
            work_dir=work_dir,
        )
        try:
            unittest.main(argv=[sys.argv[0], *unittest_arguments], verbosity=2)
        finally:
            # The wine server of a temporary prefix ends by itself soon after the last program;
            # the prefix is removed only after that.
            if not arguments.wine_prefix:
                wine_prefix.wait_for_wineserver(wine, prefix)


if __name__ == "__main__":
    main()
