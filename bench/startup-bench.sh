#!/usr/bin/env bash
# Whole-process time of "QaBrisel.exe /ShowDeskTop" against a minimal program
# that does the same work, in alternating runs of one Wine session.
#   bench/startup-bench.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/windows64}
rounds=${2:-21}
state=$(mktemp -d)
trap '"$root/tools/wine-session.sh" teardown "$state" >/dev/null 2>&1; rm -rf "$state"' EXIT
"$root/tools/wine-session.sh" setup "$state" >/dev/null
export WINEPREFIX="$state/prefix" WINEDEBUG=-all DISPLAY=$(cat "$state/display")
wineserver -p60  # keep one server for the whole session

time_ms() {
  local start end
  start=$(date +%s%N)
  timeout 60 wine "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

# Warm both once so no first-start cost lands in the figures.
time_ms "$build/QaBrisel.exe" /ShowDeskTop >/dev/null
time_ms "$build/bench_minimal_showdesktop.exe" >/dev/null
client=(); baseline=()
for _ in $(seq "$rounds"); do
  client+=("$(time_ms "$build/QaBrisel.exe" /ShowDeskTop)")
  baseline+=("$(time_ms "$build/bench_minimal_showdesktop.exe")")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
mc=$(median "${client[@]}"); mb=$(median "${baseline[@]}")
echo "rounds: $rounds (alternating)"
echo "QaBrisel.exe /ShowDeskTop   median ${mc} ms  (runs: ${client[*]})"
echo "minimal program             median ${mb} ms  (runs: ${baseline[*]})"
awk -v c="$mc" -v b="$mb" 'BEGIN {printf "ratio client/minimal: %.3f (goal <= 1.25)\n", c / b}'
ls -l "$build/QaBrisel.exe" "$root/build/windows/QaBrisel.exe" 2>/dev/null | awk '{print "size " $NF ": " $5 " bytes"}'
