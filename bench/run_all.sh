#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them all: the micro-benchmarks (formatAmount, the
# amount reader, the three formulas), each reported as a ratio to its baseline from the same
# run, then the whole program (a long scripted session, and the start-up time).
#
#   bench/run_all.sh [BUILD_DIR]        (default: build/bench)
#
# Run it on an otherwise idle machine: the figures are wall and CPU times.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/bench}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPOKERHILFE_BUILD_BENCHMARKS=ON \
  -DPOKERHILFE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --parallel 2 --target pokerhilfe pokerhilfe_bench minimal_menu >/dev/null

json="$build/bench/micro-benchmarks.json"
"$build/bench/pokerhilfe_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=json --benchmark_out="$json" --benchmark_out_format=json >/dev/null
python3 bench/report_ratios.py "$json"
echo
python3 bench/run_program_bench.py --program "$build/pokerhilfe" \
  --minimal-menu "$build/bench/minimal_menu"
