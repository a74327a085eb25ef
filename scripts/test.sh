#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. the portable parts natively, with AddressSanitizer and UBSan;
#   2. the 64-bit Windows build, tests run under Wine (private Xvfb display);
#   3. the 32-bit Windows build, compiled only (no 32-bit Wine here).
# Warnings in project code are errors. Build folders: build/native,
# build/win64, build/win32.
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

if step "win64: configure" configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" &&
   step "win64: build" cmake --build build/win64; then
  step "win64: tests under Wine" ctest --test-dir build/win64 --output-on-failure --no-tests=error
fi

if step "win32: configure" configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake"; then
  step "win32: build (compile only)" cmake --build build/win32
fi

if [ ${#failed[@]} -ne 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "All builds and tests passed." >&2
