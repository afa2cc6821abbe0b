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
. "$root/tools/background-server.sh"
mkdir -p "$state"
case $action in
start)
  server_stop "$state"
  rm -rf "$state/release"
  bash "$root/tools/package.sh" --installer "${3:?installer}" --out "$state/release" \
    --current-version 3.0.0.1
  : >"$state/requests.log"
  server_start "$state" "demo site:" \
    python3 "$root/tools/demo-site/demo_site.py" --web-port 18933 --download-port 18932 \
    --publish "$state/release/Jorva/kelmi/official" --log "$state/requests.log" --lifetime 1500
  ;;
stop) server_stop "$state" ;;
*) echo "release-site.sh: start or stop" >&2; exit 2 ;;
esac
