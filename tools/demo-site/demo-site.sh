#!/usr/bin/env bash
# Starts or stops the demo operator site for the tests, logging every request.
#   demo-site.sh start STATE     (web 127.0.0.1:8910, downloads 127.0.0.1:8911)
#   demo-site.sh stop  STATE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=$1 state=$2
mkdir -p "$state"
case $action in
start)
  if [ -f "$state/site.pid" ]; then kill "$(cat "$state/site.pid")" 2>/dev/null || true; fi
  : >"$state/requests.log"
  python3 "$here/demo_site.py" --log "$state/requests.log" --lifetime 1500 >"$state/site.out" 2>&1 &
  echo $! >"$state/site.pid"
  for _ in $(seq 100); do
    grep -q "demo site:" "$state/site.out" 2>/dev/null && exit 0
    sleep 0.1
  done
  echo "demo site did not start" >&2; cat "$state/site.out" >&2; exit 1
  ;;
stop)
  if [ -f "$state/site.pid" ]; then
    kill "$(cat "$state/site.pid")" 2>/dev/null || true
    rm -f "$state/site.pid"
  fi
  ;;
esac
