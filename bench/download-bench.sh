#!/usr/bin/env bash
# A 100 MiB streamed download from the loopback test server: the client's
# download manager against a minimal WinINet loop reading 1 MiB at a time, in
# alternating runs of one Wine session. Prints both medians, the throughput
# ratio and the peak growth of the manager's private memory during a download.
#   bench/download-bench.sh [BUILD_DIR] [ROUNDS] [PORT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/windows64}
rounds=${2:-9}
port=${3:-18951}
state=$(mktemp -d)
cleanup() {
  "$root/tools/http-test-server.sh" stop "$state/http" >/dev/null 2>&1 || true
  "$root/tools/wine-session.sh" teardown "$state" >/dev/null 2>&1 || true
  rm -rf "$state"
}
trap cleanup EXIT
"$root/tools/wine-session.sh" setup "$state" >/dev/null
"$root/tools/http-test-server.sh" start "$state/http" "$port" 3600 "$build/qb_recorder.exe"
export WINEPREFIX="$state/prefix" WINEDEBUG=-all DISPLAY=$(cat "$state/display")
wineserver -p60  # one server for the whole session

# One run: prints "<way> ok=1 bytes=N ms=T private_growth_kb=P committed_growth_kb=C".
# Each run asks for its own address, so no run can be answered from WinINet's cache.
run() {
  timeout 300 wine "$build/qb_bench_download.exe" "$1" "http://127.0.0.1:$port/big?run=$2" 2>/dev/null |
    tr -d '\r' | grep "ok=1" || { echo "run $1 $2 failed" >&2; exit 1; }
}
field() { sed -n "s/.* $1=\([-0-9.]*\).*/\1/p"; }

run client warm >/dev/null
run loop warm >/dev/null
client_ms=(); loop_ms=(); client_kb=(); loop_kb=()
for i in $(seq "$rounds"); do
  c=$(run client "c$i"); l=$(run loop "l$i")
  client_ms+=("$(field ms <<<"$c")"); client_kb+=("$(field committed_growth_kb <<<"$c")")
  loop_ms+=("$(field ms <<<"$l")"); loop_kb+=("$(field committed_growth_kb <<<"$l")")
  bytes=$(field bytes <<<"$c")
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
max() { printf '%s\n' "$@" | sort -g | tail -n1; }
mc=$(median "${client_ms[@]}"); ml=$(median "${loop_ms[@]}")
echo "rounds: $rounds (alternating), body $bytes bytes"
awk -v ms="$mc" -v b="$bytes" 'BEGIN {printf "download manager     median %8.1f ms  %7.1f MB/s\n", ms, b / ms / 1000}'
awk -v ms="$ml" -v b="$bytes" 'BEGIN {printf "WinINet 1 MiB loop   median %8.1f ms  %7.1f MB/s\n", ms, b / ms / 1000}'
echo "  manager runs (ms): ${client_ms[*]}"
echo "  loop runs (ms):    ${loop_ms[*]}"
awk -v c="$mc" -v l="$ml" 'BEGIN {printf "throughput ratio manager/loop: %.2f (goal >= 0.9)\n", l / c}'
echo "peak private memory growth during a download (committed private pages, KiB):"
echo "  manager: median $(median "${client_kb[@]}"), max $(max "${client_kb[@]}") (goal <= 2048)"
echo "  loop:    median $(median "${loop_kb[@]}"), max $(max "${loop_kb[@]}")"
