# Sourced by the scripts that start and stop the tests' loopback servers: one
# server per state folder, its pid in STATE/server.pid and its output in
# STATE/server.out.
#   server_start STATE READY_TEXT COMMAND [ARGS...]  starts it, waits up to 10 s
#                                                    for READY_TEXT in its output
#   server_stop  STATE                               ends it if it runs

server_stop() {
  local state=$1
  if [ -f "$state/server.pid" ]; then
    kill "$(cat "$state/server.pid")" 2>/dev/null || true
    rm -f "$state/server.pid"
  fi
}

server_start() {
  local state=$1 ready=$2
  shift 2
  server_stop "$state"
  "$@" >"$state/server.out" 2>&1 &
  echo $! >"$state/server.pid"
  for _ in $(seq 100); do
    grep -q "$ready" "$state/server.out" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "$1 did not start" >&2
  cat "$state/server.out" >&2
  return 1
}
