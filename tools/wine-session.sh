#!/usr/bin/env bash
# A private Wine session for the tests: a fresh prefix (never the user's own)
# and an Xvfb display, kept in one state folder.
#   wine-session.sh setup    STATE          fresh prefix + display
#   wine-session.sh run      STATE SECONDS PROGRAM [ARGS...]
#                                           runs a Windows program, killed at the deadline
#   wine-session.sh teardown STATE          ends the wine server and the display
# Wine is the 64-bit loader (see tools/install-deps.sh for why).
set -uo pipefail

cmd=${1:?command}; state=${2:?state folder}
mkdir -p "$state"
state=$(cd "$state" && pwd)
export WINEPREFIX="$state/prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
unset WINELOADER WINESERVER
wineserver_bin=$(command -v wineserver)

start_display() {
  [ -s "$state/display" ] && kill -0 "$(cat "$state/xvfb.pid" 2>/dev/null)" 2>/dev/null && return 0
  Xvfb -displayfd 1 -screen 0 1600x1000x24 -nolisten tcp >"$state/display.tmp" 2>"$state/xvfb.log" &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 100); do
    [ -s "$state/display.tmp" ] && break
    sleep 0.1
  done
  if [ ! -s "$state/display.tmp" ]; then
    echo "Xvfb did not start" >&2
    cat "$state/xvfb.log" >&2
    return 1
  fi
  echo ":$(head -n1 "$state/display.tmp")" >"$state/display"
  # A compositing manager, as a Windows desktop composes: layered windows then
  # show on screen (and in screen captures) as a player sees them.
  DISPLAY=$(cat "$state/display") xsetroot -solid '#4f5b66' 2>/dev/null
  DISPLAY=$(cat "$state/display") xcompmgr >"$state/xcompmgr.log" 2>&1 &
  echo $! >"$state/xcompmgr.pid"
}

case "$cmd" in
  setup)
    "$0" teardown "$state" >/dev/null 2>&1
    rm -rf "$WINEPREFIX"
    start_display || exit 1
    export DISPLAY=$(cat "$state/display")
    "$(dirname "$0")/wine-prefix.sh" >"$state/wineboot.log" 2>&1
    rc=$?
    [ $rc -eq 0 ] || { cat "$state/wineboot.log" >&2; exit $rc; }
    echo "wine prefix $WINEPREFIX on display $DISPLAY"
    ;;
  run)
    seconds=${3:?seconds}; shift 3
    start_display || exit 1
    export DISPLAY=$(cat "$state/display")
    # Output goes through a file so that a leftover child holding the pipe
    # cannot keep the caller waiting; afterwards every process still alive in
    # the prefix is ended.
    out=$(mktemp)
    timeout -k 10 "$seconds" wine "$@" >"$out" 2>&1 </dev/null
    rc=$?
    cat "$out"; rm -f "$out"
    [ $rc -eq 124 ] && echo "wine-session: '$*' passed its deadline of ${seconds}s and was killed" >&2
    timeout 30 "$wineserver_bin" -k 2>/dev/null
    timeout 30 "$wineserver_bin" -w 2>/dev/null
    exit $rc
    ;;
  teardown)
    timeout 30 "$wineserver_bin" -k 2>/dev/null
    for pid in xcompmgr xvfb; do
      if [ -s "$state/$pid.pid" ]; then kill "$(cat "$state/$pid.pid")" 2>/dev/null; fi
    done
    rm -f "$state/xvfb.pid" "$state/xcompmgr.pid" "$state/display" "$state/display.tmp"
    ;;
  *)
    echo "unknown command $cmd" >&2; exit 2 ;;
esac
