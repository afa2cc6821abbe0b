#!/usr/bin/env bash
# Installs what is missing, builds the client, starts the demo operator site on
# loopback and runs the client under Wine against it.
#   - With a display (DISPLAY set), the client runs until you close it.
#   - Without one, it runs on a private Xvfb display for QB_RUN_SECONDS (default
#     25), a screenshot is left in artifacts/client.png, and it is ended.
# The Wine prefix is build/run/prefix, kept between runs (the client's settings
# live in it); delete it to start as a new player.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/install-deps.sh
cmake --preset windows64 >/dev/null
cmake --build --preset windows64 -j "$(nproc)" --target QaBrisel

state="$root/build/run"
mkdir -p "$state" "$root/artifacts"
export WINEPREFIX="$state/prefix" WINEDEBUG=-all
site_pid=""; xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$site_pid" ] && kill "$site_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  Xvfb -displayfd 1 -screen 0 1600x1000x24 -nolisten tcp >"$state/display" 2>"$state/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$state/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$state/display")"
fi

if [ ! -d "$WINEPREFIX" ]; then
  echo "making the Wine prefix $WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  wineserver -w
fi

python3 tools/demo-site/demo_site.py --lifetime 7200 &
site_pid=$!
sleep 1

echo "starting QaBrisel.exe (the x86_64 build: this machine cannot run 32-bit code)"
if [ "$headless" = 1 ]; then
  wine build/windows64/QaBrisel.exe &
  client=$!
  sleep "${QB_RUN_SECONDS:-25}"
  import -window root -display "$DISPLAY" "$root/artifacts/client.png" 2>/dev/null &&
    echo "screenshot: artifacts/client.png"
  kill "$client" 2>/dev/null || true
else
  wine build/windows64/QaBrisel.exe
fi
