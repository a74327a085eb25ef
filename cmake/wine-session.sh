#!/usr/bin/env bash
# Runs Windows programs of the build under Wine, in a prefix and on an X
# display that belong to the build folder alone.
#
#   wine-session.sh start BUILD_DIR        create the prefix (first use), start a
#                                          private Xvfb display and a persistent
#                                          wineserver for the whole test run
#   wine-session.sh stop BUILD_DIR         stop both
#   wine-session.sh run BUILD_DIR EXE ARGS run one program (starts the session
#                                          first when it is not running)
#   wine-session.sh prefix BUILD_DIR       only create the prefix
#   wine-session.sh register BUILD_DIR DLL  register an in-process COM server in the prefix
#   wine-session.sh unregister BUILD_DIR DLL
#   wine-session.sh env BUILD_DIR          print the session's environment, for a shell
#   wine-session.sh env-for-display BUILD_DIR
#                                          the same for the caller's own DISPLAY
#
# The prefix lives in BUILD_DIR/wine/prefix; the session state (display number
# and the Xvfb process id) in BUILD_DIR/wine/session.
set -u

cmd=${1:?command}
build=$(cd "${2:?build dir}" && pwd)
shift 2

state=$build/wine
export WINEPREFIX=$state/prefix
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: nothing may be downloaded, nothing may wait for a click.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$state"

session_alive() {
  [ -f "$state/session" ] || return 1
  # shellcheck disable=SC1091
  . "$state/session"
  kill -0 "$XVFB_PID" 2>/dev/null || return 1
  [ -S "/tmp/.X11-unix/X${DISPLAY#:}" ]
}

# Wine's TrueType fonts (Debian's fonts-wine) into the prefix's Fonts folder.
# Without Marlett there, Wine draws the caption buttons of every top-level
# window as the letters "0 1 r"; with it they are real glyphs. Also done for
# prefixes made before this step existed (the marker tells which are done).
install_fonts() {
  [ -f "$WINEPREFIX/.zorvan-fonts" ] && return 0
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  mkdir -p "$fonts"
  local f found=0
  for f in /usr/share/wine/fonts/*.ttf; do
    [ -f "$f" ] || continue
    cp -f "$f" "$fonts/" && found=1
  done
  [ "$found" = 1 ] || echo "wine-session: no fonts in /usr/share/wine/fonts (fonts-wine missing?)" >&2
  touch "$WINEPREFIX/.zorvan-fonts"
}

make_prefix() {
  if [ -f "$WINEPREFIX/.zorvan-ready" ]; then
    install_fonts
    return 0
  fi
  rm -rf "$WINEPREFIX"
  echo "wine-session: creating the Wine prefix $WINEPREFIX" >&2
  DISPLAY= wineboot -i >/dev/null 2>&1 9>&-
  # A crash ends the program with a backtrace on the console, never in a dialog.
  DISPLAY= wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  # Wine's own desktop window on the display: Wine then manages the windows
  # itself (activation and focus as on Windows, no X window manager needed,
  # no waits for one) and the whole desktop is one X window for screenshots.
  DISPLAY= wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  DISPLAY= wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  wineserver -w
  rm -f "$WINEPREFIX/.zorvan-fonts"
  install_fonts
  touch "$WINEPREFIX/.zorvan-ready"
}

start_xvfb() {
  local fdfile=$state/displayfd
  rm -f "$fdfile"
  # The daemons must not inherit the lock descriptor (9): they would hold the
  # lock for as long as they live.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 </dev/null 9>&- &
  local pid=$!
  for _ in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  local num
  num=$(tr -dc '0-9' <"$fdfile")
  if [ -z "$num" ]; then
    echo "wine-session: Xvfb did not start" >&2
    kill "$pid" 2>/dev/null
    return 1
  fi
  printf 'DISPLAY=:%s\nXVFB_PID=%s\n' "$num" "$pid" >"$state/session"
}

start() {
  exec 9>"$state/lock"
  flock -w 300 9 || { echo "wine-session: lock busy" >&2; return 1; }
  if session_alive; then return 0; fi
  make_prefix || return 1
  start_xvfb || return 1
  # shellcheck disable=SC1091
  . "$state/session"
  export DISPLAY
  # One wineserver for the whole run: no program pays Wine's start-up again.
  setsid wineserver -p </dev/null >/dev/null 2>&1 9>&- &
  wine cmd /c exit </dev/null >/dev/null 2>&1 9>&-
  echo "wine-session: display $DISPLAY, prefix $WINEPREFIX" >&2
}

stop() {
  if [ -f "$state/session" ]; then
    # shellcheck disable=SC1091
    . "$state/session"
    wineserver -k 2>/dev/null
    kill "$XVFB_PID" 2>/dev/null
    rm -f "$state/session"
  else
    wineserver -k 2>/dev/null
  fi
  return 0
}

case $cmd in
  start) start ;;
  prefix)
    exec 9>"$state/lock"
    flock -w 300 9 || exit 1
    make_prefix ;;
  register|unregister)
    session_alive || start || exit 1
    . "$state/session"
    export DISPLAY
    dll=$(winepath -w "${1:?dll}" 2>/dev/null)
    if [ "$cmd" = register ]; then exec wine regsvr32 /s "$dll"; else exec wine regsvr32 /s /u "$dll"; fi ;;
  env-for-display)
    printf 'export WINEPREFIX=%q WINEARCH=win64 WINEDEBUG=%q WINEDLLOVERRIDES=%q\n' \
      "$WINEPREFIX" "$WINEDEBUG" "$WINEDLLOVERRIDES" ;;
  stop) stop ;;
  env)
    session_alive || start >/dev/null 2>&1
    . "$state/session"
    printf 'export WINEPREFIX=%q WINEARCH=win64 WINEDEBUG=%q WINEDLLOVERRIDES=%q DISPLAY=%q\n' \
      "$WINEPREFIX" "$WINEDEBUG" "$WINEDLLOVERRIDES" "$DISPLAY" ;;
  run)
    session_alive || start || exit 1
    . "$state/session"
    export DISPLAY
    exec wine "$@" ;;
  *) echo "wine-session: unknown command $cmd" >&2; exit 2 ;;
esac
