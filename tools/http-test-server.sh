#!/usr/bin/env bash
# Starts or stops the loopback HTTP server of the download tests.
#   http-test-server.sh start STATE PORT DEADLINE_SECONDS UPGRADER_FILE
#   http-test-server.sh stop STATE
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
action=$1 state=$2
mkdir -p "$state"
case $action in
start)
  port=$3 deadline=$4 upgrader=$5
  if [ -f "$state/server.pid" ]; then kill "$(cat "$state/server.pid")" 2>/dev/null || true; fi
  python3 "$root/tests/server/http_test_server.py" --port "$port" --deadline "$deadline" \
    --upgrader "$upgrader" >"$state/server.log" 2>&1 &
  echo $! >"$state/server.pid"
  for _ in $(seq 100); do
    if grep -q listening "$state/server.log" 2>/dev/null; then exit 0; fi
    sleep 0.1
  done
  echo "server did not start" >&2; cat "$state/server.log" >&2; exit 1
  ;;
stop)
  if [ -f "$state/server.pid" ]; then
    kill "$(cat "$state/server.pid")" 2>/dev/null || true
    rm -f "$state/server.pid"
  fi
  ;;
esac
