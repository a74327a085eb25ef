#!/usr/bin/env bash
# Builds the benchmarks optimised (no sanitizers) and runs them. Each prints
# its own baseline, measured in the same run, and the ratios.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORVAN_TESTS=OFF >/dev/null
cmake --build build/bench --target bench_runtime
./build/bench/bench/bench_runtime
