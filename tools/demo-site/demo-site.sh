#!/usr/bin/env bash
# Starts or stops the demo operator site for the tests, logging every request.
#   demo-site.sh start STATE     (web 127.0.0.1:8910, downloads 127.0.0.1:8911)
#   demo-site.sh stop  STATE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../background-server.sh"
action=$1 state=$2
mkdir -p "$state"
case $action in
start)
  : >"$state/requests.log"
  server_start "$state" "demo site:" \
    python3 "$here/demo_site.py" --log "$state/requests.log" --lifetime 1500
  ;;
stop) server_stop "$state" ;;
esac
