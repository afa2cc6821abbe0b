#!/usr/bin/env bash
# A release on loopback for the upgrade-loop test: the installer laid out by the
# packaging command beside a version file that announces 3.0.0.1, served by the
# demo operator site's download host on 127.0.0.1:18932 (web host 18933).
#   release-site.sh start STATE INSTALLER
#   release-site.sh stop  STATE
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
action=${1:?start or stop}
state=${2:?state folder}
mkdir -p "$state"
stop() {
  if [ -f "$state/site.pid" ]; then
    kill "$(cat "$state/site.pid")" 2>/dev/null || true
    rm -f "$state/site.pid"
  fi
}
case $action in
start)
  stop
  rm -rf "$state/release"
  bash "$root/tools/package.sh" --installer "${3:?installer}" --out "$state/release" \
    --current-version 3.0.0.1
  : >"$state/requests.log"
  python3 "$root/tools/demo-site/demo_site.py" --web-port 18933 --download-port 18932 \
    --publish "$state/release/Jorva/kelmi/official" --log "$state/requests.log" \
    --lifetime 1500 >"$state/site.out" 2>&1 &
  echo $! >"$state/site.pid"
  for _ in $(seq 100); do
    grep -q "demo site:" "$state/site.out" 2>/dev/null && exit 0
    sleep 0.1
  done
  echo "release site did not start" >&2; cat "$state/site.out" >&2; exit 1
  ;;
stop) stop ;;
*) echo "release-site.sh: start or stop" >&2; exit 2 ;;
esac
