#!/usr/bin/env bash
# Builds the benchmarks optimised and runs them. Each prints its own
# baseline, measured in the same run, and the ratios. The runtime benchmark
# runs natively (no sanitizers); the Windows ones run under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"

cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORVAN_TESTS=OFF >/dev/null
cmake --build build/bench --target bench_runtime
./build/bench/bench/bench_runtime
echo

cmake -S . -B build/bench-win64 -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORVAN_TESTS=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null
targets=(bench_dispatch bench_loop bench_ole bench_controls bench_forms bench_grid bench_array_grid bench_demo_start)
cmake --build build/bench-win64 --target "${targets[@]}" zorvan_test_server
session="$root/cmake/wine-session.sh"
"$session" start build/bench-win64
trap '"$session" stop build/bench-win64' EXIT
# bench_ole calls the OLE test server: register it in the prefix.
"$session" register build/bench-win64 "$root/build/bench-win64/tests/ole/zorvan_test_server.dll"
# bench_demo_start starts the demo, whose character server must be registered.
"$session" register build/bench-win64 "$root/build/bench-win64/agent/ZorvanAgent.dll"
for b in "${targets[@]}"; do
  "$session" run build/bench-win64 "$root/build/bench-win64/bench/$b.exe"
  echo
done
