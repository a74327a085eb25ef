#!/usr/bin/env bash
# Builds the Windows programs and runs the demo under Wine.
# With a DISPLAY the demo opens there and the script ends when it is closed.
# Without one it runs on a private Xvfb display: a screenshot is saved to
# build/win64/demo.png after a few seconds and the demo is then closed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/setup.sh"
cmake -S "$root" -B build/win64 -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" -DZORVAN_TESTS=OFF >/dev/null
cmake --build build/win64 --target zorvan_demo
"$root/scripts/install-prefix.sh" build/win64

session="$root/cmake/wine-session.sh"
demo="$root/build/win64/app/zorvan_demo.exe"
if [ -n "${DISPLAY:-}" ]; then
  "$session" stop build/win64
  eval "$("$session" env-for-display build/win64)"
  cd "$root/build/win64/app"
  wine "$demo"
else
  "$session" start build/win64
  eval "$("$session" env build/win64)"
  cd "$root/build/win64/app"
  wine "$demo" &
  pid=$!
  sleep "${DEMO_SECONDS:-8}"
  xwd -root -silent | convert xwd:- "$root/build/win64/demo.png"
  echo "demo: screenshot saved to build/win64/demo.png" >&2
  kill "$pid" 2>/dev/null || true
  "$session" stop build/win64
fi
