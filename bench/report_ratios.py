#!/usr/bin/env python3
"""Reads Google Benchmark's JSON output and prints, for each benchmark NAME/program with its
NAME/baseline, the time per item of both, their ratio and the goal.

    pokerhilfe_bench --benchmark_format=json --benchmark_repetitions=5 | report_ratios.py

With repetitions the medians are compared, otherwise the single runs.
"""

import json
import sys

# Goals: the largest ratio to the baseline, or the largest time per call in nanoseconds.
RATIO_GOALS = {
    "format_screen_results": 1.5,
    "format_any_doubles": 1.5,
    "read_amounts": 2.0,
}
NANOSECONDS_GOALS = {
    "opening_raise_target": 5.0,
    "reraise_target": 5.0,
    "pot_bet_target": 5.0,
}


def nanoseconds_per_item(entries):
    """Name -> time per item, from the medians if there are any, else from the single runs."""
    medians = [entry for entry in entries if entry.get("aggregate_name") == "median"]
    chosen = medians or [entry for entry in entries if entry.get("run_type") == "iteration"]
    times = {}
    for entry in chosen:
        if entry.get("error_occurred"):
            sys.exit(f"{entry['run_name']}: {entry.get('error_message')}")
        times[entry["run_name"]] = 1e9 / entry["items_per_second"]
    return times


def goal_text(pair, program, ratio):
    if pair in RATIO_GOALS:
        goal = RATIO_GOALS[pair]
        return f"ratio <= {goal}: {'met' if ratio <= goal else 'NOT met'}"
    if pair in NANOSECONDS_GOALS:
        goal = NANOSECONDS_GOALS[pair]
        return f"<= {goal:g} ns per call: {'met' if program <= goal else 'NOT met'}"
    return "no goal"


def main():
    report = json.load(open(sys.argv[1]) if len(sys.argv) > 1 else sys.stdin)
    times = nanoseconds_per_item(report["benchmarks"])
    context = report["context"]
    print(f"{context.get('host_name', '?')}, {context.get('num_cpus', '?')} CPUs at "
          f"{context.get('mhz_per_cpu', '?')} MHz, {context.get('date', '?')}, "
          f"load average {context.get('load_avg', '?')}")
    print(f"{'benchmark':24} {'program ns':>11} {'baseline ns':>12} {'ratio':>7}  goal")
    for name, program in times.items():
        pair, _, side = name.rpartition("/")
        if side != "program":
            continue
        baseline = times.get(f"{pair}/baseline")
        if baseline is None:
            print(f"{pair:24} {program:11.2f} {'-':>12} {'-':>7}  no baseline on this machine")
            continue
        ratio = program / baseline
        print(f"{pair:24} {program:11.2f} {baseline:12.2f} {ratio:7.2f}  "
              f"{goal_text(pair, program, ratio)}")


if __name__ == "__main__":
    main()
