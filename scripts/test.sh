#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. the portable parts natively, with AddressSanitizer and UBSan;
#   2. the 64-bit Windows build, tests run under Wine (private Xvfb display);
#   3. the 32-bit Windows build, compiled only (no 32-bit Wine here);
#   4. the fuzz targets of the portable code built with clang and libFuzzer,
#      each run for a bounded time (ZORVAN_FUZZ_SECONDS, 15 by default).
# Warnings in project code are errors. Build folders: build/native,
# build/win64, build/win32, build/fuzz.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/setup.sh" || exit 1

failed=()
step() {
  local name=$1; shift
  echo "==== $name" >&2
  if ! "$@"; then failed+=("$name"); return 1; fi
}

configure() {
  local dir=$1; shift
  cmake -S "$root" -B "$root/build/$dir" -G Ninja -DZORVAN_WERROR=ON -DZORVAN_TESTS=ON "$@" >/dev/null
}

if step "native: configure" configure native -DZORVAN_SANITIZE=ON &&
   step "native: build" cmake --build build/native; then
  step "native: tests" ctest --test-dir build/native --output-on-failure --no-tests=error
fi

# The Windows builds are made for checking, not for measuring (scripts/bench.sh
# builds its own, fully optimised): no debug information, which makes MinGW's
# links slow, and light optimisation; the 32-bit build, compiled only, is not
# optimised at all.
if step "win64: configure" configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" \
       -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELEASE=-O1 -DNDEBUG" &&
   step "win64: build" cmake --build build/win64; then
  # A test program that fails is run once more before the step fails: one
  # run of seven once saw a Wine test program end at start, without any
  # output, and pass on every rerun. A real failure fails twice; the log keeps
  # the first failure's output either way.
  step "win64: tests under Wine" ctest --test-dir build/win64 --output-on-failure --no-tests=error --repeat until-pass:2
fi

if step "win32: configure" configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" \
       -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O0 -DNDEBUG" "-DCMAKE_C_FLAGS_RELEASE=-O0 -DNDEBUG"; then
  step "win32: build (compile only)" cmake --build build/win32
fi

# Each target starts from its corpus in tests/fuzz/corpus (read only) and
# keeps what it learns in build/fuzz/work. An input that fails is written to
# build/fuzz/artifacts/<target>/ and fails the step: add it to the target's
# corpus as a regression case once the fault is fixed.
fuzz_all() {
  local seconds=${ZORVAN_FUZZ_SECONDS:-15} bad=0 t
  for t in versioninfo cmdline font_text image_formats texts_subst classbuilder values maps symbols grid_layout grid_filter; do
    mkdir -p "build/fuzz/work/$t" "build/fuzz/artifacts/$t"
    echo "fuzz_$t: ${seconds}s" >&2
    if ! "build/fuzz/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=0 \
         -artifact_prefix="build/fuzz/artifacts/$t/" "build/fuzz/work/$t" "tests/fuzz/corpus/$t" \
         > "build/fuzz/work/$t.log" 2>&1; then
      echo "fuzz_$t found a failing input (build/fuzz/artifacts/$t, log build/fuzz/work/$t.log):" >&2
      grep -E 'runtime error|property does not hold|ERROR:|SUMMARY' "build/fuzz/work/$t.log" | head -5 >&2
      bad=1
    fi
  done
  return $bad
}

if step "fuzz: configure" cmake -S "$root" -B "$root/build/fuzz" -G Ninja -DZORVAN_WERROR=ON -DZORVAN_TESTS=OFF \
       -DZORVAN_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
   step "fuzz: build" cmake --build build/fuzz --target fuzzers; then
  step "fuzz: run each target" fuzz_all
fi

if [ ${#failed[@]} -ne 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "All builds and tests passed." >&2
