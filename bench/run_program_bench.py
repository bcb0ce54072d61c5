#!/usr/bin/env python3
"""The built program as a whole, each figure against a baseline measured in the same run.

Session: a scripted session of many advice screens (choices 1, 2 and 3 in turn, with varied
amounts) is piped into the program, whose output goes to a file; the baseline is `cat` copying
as many bytes as the program wrote, from a pipe into a file. Start-up: the program with empty
input, which writes the first menu and ends, against a minimal C program that writes the same
bytes and exits; standard output is a file for both. Long line: a pot of 64 MiB, 256 MiB and
1 GiB of digits on one line; the time per byte shows whether the time grows linearly.

Every process runs in a session of its own, without a controlling terminal, so that the program
finds no terminal to clear and the runs do not depend on where the script was started. The two
sides are measured in turn, so that a change of load on the machine meets both alike.

    run_program_bench.py --program build/bench/pokerhilfe \\
        --minimal-menu build/bench/bench/minimal_menu
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

CHIPS_LINE_END = b" Chips.\r\n"


def scripted_session(screens):
    """The input of `screens` advice screens: choice, amounts, and Enter for the pause."""
    lines = []
    for screen in range(screens):
        blind = 1 + screen % 997
        players = screen % 7
        kind = screen % 3
        if kind == 0:
            lines.append(f"1\n{blind // 10}.{blind % 10}\n{players}\n\n")
        elif kind == 1:
            lines.append(f"2\n{blind * 3}\n{players}\n\n")
        else:
            lines.append(f"3\n{blind * 7}.{screen % 100:02d}\n\n")
    return "".join(lines).encode("ascii")


def run_pipeline(commands, stdin_path, stdout_path):
    """Runs the commands as a pipeline from a file into a file; returns the wall time."""
    with open(stdin_path, "rb") as source, open(stdout_path, "wb") as sink:
        start = time.perf_counter()
        processes = []
        previous = source
        for index, command in enumerate(commands):
            last = index == len(commands) - 1
            process = subprocess.Popen(
                command,
                stdin=previous,
                stdout=sink if last else subprocess.PIPE,
                start_new_session=True,
            )
            if previous is not source:
                previous.close()  # the next process holds it now
            previous = process.stdout
            processes.append(process)
        codes = [process.wait() for process in processes]
        elapsed = time.perf_counter() - start
    if any(codes):
        sys.exit(f"{commands} ended with {codes}")
    return elapsed


def spawn_and_wait(path, output_path):
    """Starts `path` with empty input and output to a file; returns the wall time."""
    actions = [
        (os.POSIX_SPAWN_OPEN, 0, os.devnull, os.O_RDONLY, 0),
        (os.POSIX_SPAWN_OPEN, 1, output_path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644),
    ]
    start = time.perf_counter()
    pid = os.posix_spawn(path, [path], {}, file_actions=actions, setsid=True)
    _, status = os.waitpid(pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{path} ended with status {status}")
    return elapsed


def read_bytes(path):
    with open(path, "rb") as file:
        return file.read()


def measure_session(program, screens, runs, workdir):
    session = os.path.join(workdir, "session.txt")
    with open(session, "wb") as file:
        file.write(scripted_session(screens))
    program_output = os.path.join(workdir, "program-output.txt")
    copy_source = os.path.join(workdir, "copy-source.txt")
    copy_output = os.path.join(workdir, "copy-output.txt")

    # A first run to check what the program wrote and to have as many bytes for cat to copy.
    run_pipeline([["cat"], [program]], session, program_output)
    output = read_bytes(program_output)
    if output.count(CHIPS_LINE_END) != screens:
        sys.exit(f"the program wrote {output.count(CHIPS_LINE_END)} results, not {screens}")
    with open(copy_source, "wb") as file:
        file.write(output)

    program_times, cat_times = [], []
    for _ in range(runs):
        program_times.append(run_pipeline([["cat"], [program]], session, program_output))
        cat_times.append(run_pipeline([["cat"], ["cat"]], copy_source, copy_output))
    return os.path.getsize(session), len(output), program_times, cat_times


def measure_startup(program, minimal_menu, runs, workdir):
    program_output = os.path.join(workdir, "menu-program.txt")
    minimal_output = os.path.join(workdir, "menu-minimal.txt")
    spawn_and_wait(program, program_output)
    spawn_and_wait(minimal_menu, minimal_output)
    if read_bytes(program_output) != read_bytes(minimal_output):
        sys.exit("the minimal C program does not write the bytes of the program's first menu")

    program_times, minimal_times = [], []
    for _ in range(runs):
        program_times.append(spawn_and_wait(program, program_output))
        minimal_times.append(spawn_and_wait(minimal_menu, minimal_output))
    return program_times, minimal_times


def measure_long_line(program, size, workdir):
    """The wall time of choice 3 with a pot of `size` digits on a single line, written into a
    pipe as fast as the program reads it."""
    block = b"7" * (1 << 20)
    with open(os.path.join(workdir, "long-line-output.txt"), "wb") as sink:
        start = time.perf_counter()
        process = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=sink,
                                   stderr=subprocess.DEVNULL, start_new_session=True)
        process.stdin.write(b"3\n")
        for _ in range(size // len(block)):
            process.stdin.write(block)
        process.stdin.write(b"\n\n")
        process.stdin.close()
        process.wait()
        return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True, help="the built Release pokerhilfe")
    parser.add_argument("--minimal-menu", required=True, help="the built minimal_menu")
    parser.add_argument("--screens", type=int, default=100_000)
    parser.add_argument("--session-runs", type=int, default=5)
    parser.add_argument("--startup-runs", type=int, default=500)
    args = parser.parse_args()
    program = os.path.abspath(args.program)
    minimal_menu = os.path.abspath(args.minimal_menu)

    with tempfile.TemporaryDirectory(prefix="pokerhilfe-bench-") as workdir:
        input_size, output_size, program_times, cat_times = measure_session(
            program, args.screens, args.session_runs, workdir)
        program_session = statistics.median(program_times)
        cat_session = statistics.median(cat_times)
        print(f"session of {args.screens} advice screens: {input_size} bytes in, "
              f"{output_size} bytes out; median of {args.session_runs} runs")
        print(f"  pokerhilfe            {program_session * 1e3:9.1f} ms "
              f"({program_session / args.screens * 1e9:.0f} ns per screen)")
        print(f"  cat, as many bytes    {cat_session * 1e3:9.1f} ms")
        print(f"  ratio                 {program_session / cat_session:9.2f}")

        program_times, minimal_times = measure_startup(
            program, minimal_menu, args.startup_runs, workdir)
        program_start = statistics.median(program_times)
        minimal_start = statistics.median(minimal_times)
        print(f"start-up to the first menu, empty input; median of {args.startup_runs} runs")
        print(f"  pokerhilfe            {program_start * 1e6:9.0f} us")
        print(f"  minimal C program     {minimal_start * 1e6:9.0f} us")
        print(f"  ratio                 {program_start / minimal_start:9.2f}")

        print("a pot of one line of digits, piped in as it is read: time per byte")
        for size in (1 << 26, 1 << 28, 1 << 30):
            seconds = measure_long_line(program, size, workdir)
            print(f"  {size >> 20:5d} MiB              {seconds * 1e3:9.1f} ms "
                  f"({seconds / size * 1e9:.2f} ns per byte)")


if __name__ == "__main__":
    main()
