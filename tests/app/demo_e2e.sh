#!/usr/bin/env bash
# The demo end to end, as a user drives it: the real program under Wine on
# the test session's display, real X input through xdotool, and the
# character server's journal (AGENT_JOURNAL) telling what the program asked
# of the character, compared line by line with demo_journal.txt.
#
# Then the failure path: with the server unregistered the demo shows the
# error dialog, whose Quit ends the program.
#
#   demo_e2e.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$(cd "${1:?build dir}" && pwd)
src=$(cd "${2:?source dir}" && pwd)
session=$src/cmake/wine-session.sh
demo=$build/app/zorvan_demo.exe
agent=$build/agent/ZorvanAgent.dll
work=$build/test-work/demo_e2e
rm -rf "$work" && mkdir -p "$work"
eval "$("$session" env "$build")"
export AGENT_TIME_SCALE=0.05   # the character plays twenty times faster

fail() {
  echo "demo_e2e: FAILED: $*" >&2
  xwd -root -silent 2>/dev/null | convert xwd:- "$work/failure.png" 2>/dev/null &&
    echo "demo_e2e: the screen is in $work/failure.png" >&2
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
  exit 1
}

# A Windows path for a file of the work folder (Wine's Z: is the root).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Waits up to $2 seconds for a visible top-level window titled exactly $1;
# prints its X id.
window() {
  local id t
  for ((t = 0; t < $2 * 10; t++)); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

gone() {
  local t
  for ((t = 0; t < $2 * 10; t++)); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  return 1
}

lines() { [ -f "$journal" ] && wc -l < "$journal" || echo 0; }

# Waits until the journal holds $1 lines (and then a moment, so that a call
# too many would show).
journal_at() {
  local t
  for ((t = 0; t < 150; t++)); do
    [ "$(lines)" -ge "$1" ] && break
    sleep 0.1
  done
  sleep 0.3
  [ "$(lines)" -eq "$1" ] || fail "after $2 the journal has $(lines) lines, expected $1 (see $journal)"
}

# The form's client area on the screen: the window has a single frame of
# equal width on the sides and the bottom, and a client area of 434 x 284.
client_origin() {
  # (xwininfo: xdotool's geometry of a Wine window is off by its position.)
  local info x y w h
  info=$(xwininfo -id "$form")
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  w=$(sed -n 's/^ *Width: *//p' <<<"$info")
  h=$(sed -n 's/^ *Height: *//p' <<<"$info")
  local border=$(((w - 434) / 2))
  cx=$((x + border))
  cy=$((y + h - border - 284))
}

# click_at X Y [click options]: a left click (or what the options say).
click_at() {
  local x=$1 y=$2
  shift 2
  [ $# -gt 0 ] || set -- 1
  xdotool mousemove "$x" "$y" sleep 0.2 click "$@"
}

# ---------------------------------------------------------------- the demo

journal=$work/journal.txt
export AGENT_JOURNAL
AGENT_JOURNAL=$(winpath "$journal")
(cd "$work" && exec wine "$demo") >"$work/demo.out" 2>&1 &
pid=$!

form=$(window "Zorvan MS Agent Demo" 60) || fail "the main form did not appear"
journal_at 13 "the greeting"
sleep 1
client_origin

# A double-click on the sixth row, in the description column. The grid
# starts at (8, 12) of the client area; its first row's middle is 35 pixels
# lower, and the rows are 18 pixels high.
row_y() { echo $((cy + 47 + ($1 - 1) * 18)); }
click_at $((cx + 8 + 150)) "$(row_y 6)" --repeat 2 --delay 80 1
journal_at 14 "the double-click on the sixth row"

# The keyboard: Down moves to the seventh row, Enter edits nothing.
xdotool key --delay 100 Down Return
journal_at 14 "Down and Enter"
# A double-click on the record selector of the row now current plays it.
click_at $((cx + 8 + 8)) "$(row_y 7)" --repeat 2 --delay 80 1
journal_at 15 "the double-click on the seventh row's selector"

click_at $((cx + 332 + 45)) $((cy + 40 + 12))
journal_at 16 "Think()"
click_at $((cx + 332 + 45)) $((cy + 104 + 12))
journal_at 18 "Speak"
click_at $((cx + 332 + 45)) $((cy + 164 + 12))
journal_at 19 "MoveTo()"

# Closing: the farewell, then the question; No (the default button, Enter)
# keeps the form and brings the character back.
xdotool key alt+F4
box=$(window vorlent 20) || fail "no question after Alt+F4"
journal_at 26 "the farewell"
xdotool windowfocus "$box" 2>/dev/null; sleep 0.3
xdotool key Return
gone vorlent 10 || fail "the question stayed after No"
journal_at 27 "No"
window "Zorvan MS Agent Demo" 5 >/dev/null || fail "No closed the form"

xdotool windowfocus "$form" 2>/dev/null; sleep 0.3
xdotool key alt+F4
box=$(window vorlent 20) || fail "no question after the second Alt+F4"
journal_at 34 "the second farewell"
xdotool windowfocus "$box" 2>/dev/null; sleep 0.3
xdotool key y
for ((t = 0; t < 300; t++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the demo still runs after Yes"
wait "$pid"; rc=$?
pid=
[ "$rc" -eq 0 ] || fail "the demo ended with code $rc after Yes"

# The calls, in order and exactly (the journal is UTF-8 with LF ends).
if ! diff -u "$src/tests/app/demo_journal.txt" "$journal" >&2; then
  fail "the journal differs from the expected calls"
fi
echo "demo_e2e: the demo's calls and its end are as expected"

# ---------------------------------------------------------------- no server

"$session" unregister "$build" "$agent" || fail "could not unregister the server"
trap '"$session" register "$build" "$agent"' EXIT
journal=$work/journal-none.txt
AGENT_JOURNAL=$(winpath "$journal")
(cd "$work" && exec wine "$demo") >"$work/demo-none.out" 2>&1 &
pid=$!
dialog=$(window Error 60) || fail "no error dialog without the server"
sleep 1
xwd -root -silent | convert xwd:- "$work/no-server.png" 2>/dev/null
grep -q "Agent.Control.2" "$work/Error.log" || fail "Error.log does not name the ProgID"
grep -q "TOleAuto" "$work/Error.log" || fail "Error.log does not name the subsystem"
xdotool search --onlyvisible --name "^Zorvan MS Agent Demo\$" >/dev/null 2>&1 &&
  fail "the form is shown although it could not start"
xdotool windowfocus "$dialog" 2>/dev/null; sleep 0.3
xdotool key Return   # Quit, the first and default button
for ((t = 0; t < 300; t++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the demo still runs after Quit"
wait "$pid"; rc=$?
pid=
[ "$rc" -eq 1 ] || fail "the demo ended with code $rc after Quit (expected 1)"
[ "$(lines)" -eq 0 ] || fail "calls reached a server that is not registered"
echo "demo_e2e: without the server the error dialog's Quit ends the demo"
