#!/usr/bin/env python3
"""Wine for the tests of the Windows program.

Every test runs Wine in a prefix of its build directory, never in the user's ~/.wine, with
Wine's debug messages off and without a display, so that a console program gets a text console.
Run as a script, this prepares the prefix once before the tests that share it start: Wine's
first start in a new prefix takes seconds and writes messages of its own, which must not land
in a test's output or on a test's console.

A tool that is missing skips the tests on a developer's machine, with the reason; under CI
(the environment variable CI set) it fails them, since CI installs every tool they need.
"""

import argparse
import os
import pathlib
import shutil
import subprocess
import sys

# ctest shows a test that exits with this code as skipped (SKIP_RETURN_CODE).
SKIP_EXIT_CODE = 77

# A hang guard for Wine's first start, not a measure of speed.
PREFIX_SETUP_TIMEOUT_SECONDS = 600

# Variables that would lead Wine or tmux to a display or a terminal outside the test.
_OUTSIDE_VARIABLES = ("DISPLAY", "WAYLAND_DISPLAY", "TMUX", "TMUX_PANE")


def wine_environment(prefix, base=None):
    """The environment for Wine in `prefix`: quiet, and with no display to open windows on."""
    environment = dict(os.environ if base is None else base)
    for name in _OUTSIDE_VARIABLES:
        environment.pop(name, None)
    environment["WINEPREFIX"] = str(pathlib.Path(prefix).resolve())
    environment["WINEDEBUG"] = "-all"
    return environment


def find_wine(given):
    """The Wine program to use: the one given, when it exists, else None."""
    if not given or given.endswith("-NOTFOUND"):
        return None
    found = shutil.which(given)
    return found if found and os.access(found, os.X_OK) else None


def find_wineserver(wine):
    """The wine server of `wine`: beside it (Debian's /usr/lib/wine), or else on the PATH."""
    folder = pathlib.Path(wine).resolve().parent
    for name in ("wineserver", "wineserver64"):
        if os.access(folder / name, os.X_OK):
            return str(folder / name)
    return shutil.which("wineserver") or "wineserver"


def wait_for_wineserver(wine, prefix):
    """Waits until the wine server of `prefix` has ended by itself, after its last program."""
    subprocess.run(
        [find_wineserver(wine), "-w"],
        env=wine_environment(prefix),
        stdin=subprocess.DEVNULL,
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
        timeout=PREFIX_SETUP_TIMEOUT_SECONDS,
        check=False,
    )


def skip_or_fail(reason):
    """Ends the test run for a missing tool: skipped on a developer's machine, failed in CI."""
    if os.environ.get("CI"):
        print(f"FAILED: {reason} (CI installs it, so it must be there)", file=sys.stderr)
        sys.exit(1)
    print(f"SKIPPED: {reason}", file=sys.stderr)
    sys.exit(SKIP_EXIT_CODE)


def prepare_prefix(wine, prefix):
    """Creates the prefix when it does not exist yet; Wine's own messages go nowhere."""
    prefix = pathlib.Path(prefix)
    if (prefix / "system.reg").exists():
        return
    prefix.parent.mkdir(parents=True, exist_ok=True)
    environment = wine_environment(prefix)
    # Mono and Gecko are not needed by a console program; without them Wine asks for nothing.
    environment["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    quiet = dict.fromkeys(("stdin", "stdout", "stderr"), subprocess.DEVNULL)
    subprocess.run(
        [wine, "wineboot", "--init"],
        env=environment,
        timeout=PREFIX_SETUP_TIMEOUT_SECONDS,
        check=False,
        **quiet,
    )
    # wineboot returns before the prefix is complete: the wine server writes the registry when
    # it ends, a few seconds after its last program. Waiting for that leaves a finished prefix.
    wait_for_wineserver(wine, prefix)
    if not (prefix / "system.reg").exists():
        raise RuntimeError(f"Wine ({wine}) did not create its prefix in {prefix}")


def main():
    parser = argparse.ArgumentParser(description="Prepares the Wine prefix of the tests.")
    parser.add_argument("--wine", required=True, help="the Wine program (wine64)")
    parser.add_argument("--wine-prefix", required=True, help="the prefix to prepare")
    arguments = parser.parse_args()
    wine = find_wine(arguments.wine)
    if wine is None:
        skip_or_fail(f"Wine was not found ({arguments.wine!r}); the Debian package is wine64")
    prepare_prefix(wine, arguments.wine_prefix)
    print(f"Wine prefix ready: {arguments.wine_prefix}")


if __name__ == "__main__":
    main()
