#!/usr/bin/env bash
# Starts or stops the loopback HTTP server of the download tests.
#   http-test-server.sh start STATE PORT DEADLINE_SECONDS UPGRADER_FILE
#   http-test-server.sh stop STATE
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/background-server.sh"
action=$1 state=$2
mkdir -p "$state"
case $action in
start)
  server_start "$state" listening python3 "$root/tests/server/http_test_server.py" \
    --port "$3" --deadline "$4" --upgrader "$5"
  ;;
stop) server_stop "$state" ;;
esac
