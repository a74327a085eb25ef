#!/usr/bin/env bash
# Builds the Windows programs and runs the demo under Wine.
# With a DISPLAY the demo opens there and the script ends when it is closed.
# Without one it runs on a private Xvfb display: a screenshot is saved to
# build/win64/demo.png (or to $DEMO_SCREENSHOT) after $DEMO_SECONDS seconds
# (8 by default) and the demo is then closed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
shot=$(realpath -m "${DEMO_SCREENSHOT:-$root/build/win64/demo.png}")
cd "$root"

"$root/scripts/setup.sh"
cmake -S "$root" -B build/win64 -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null
cmake --build build/win64 --target zorvan_demo zorvan_agent
"$root/scripts/install-prefix.sh" build/win64

session="$root/cmake/wine-session.sh"
demo="$root/build/win64/app/zorvan_demo.exe"
if [ -n "${DISPLAY:-}" ]; then
  "$session" stop "$root/build/win64"
  eval "$("$session" env-for-display "$root/build/win64")"
  cd "$root/build/win64/app"
  wine "$demo"
else
  "$session" start "$root/build/win64"
  # Whatever happens below, the private display and Wine go away at the end.
  trap '"$session" stop "$root/build/win64"' EXIT
  eval "$("$session" env "$root/build/win64")"
  cd "$root/build/win64/app"
  wine "$demo" </dev/null >/dev/null 2>&1 &
  sleep "${DEMO_SECONDS:-8}"
  if xwd -root -silent | convert xwd:- "$shot"; then
    echo "demo: screenshot saved to $shot" >&2
  else
    echo "demo: could not take a screenshot" >&2
  fi
fi
