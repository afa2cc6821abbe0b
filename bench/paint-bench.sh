#!/usr/bin/env bash
# Full repaint of the login window's controls against one BitBlt of a
# 1024x700 picture to the same window, in alternating rounds of one process,
# under Wine in a private session (prefix and display of its own).
#   bench/paint-bench.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/windows64}
rounds=${2:-201}
state=$(mktemp -d)
trap '"$root/tools/wine-session.sh" teardown "$state" >/dev/null 2>&1; rm -rf "$state"' EXIT
"$root/tools/wine-session.sh" setup "$state" >/dev/null
# As the login window (colour-keyed layered), then as a plain popup for comparison.
"$root/tools/wine-session.sh" run "$state" 300 "$build/qb_bench_paint.exe" "$rounds"
"$root/tools/wine-session.sh" run "$state" 300 "$build/qb_bench_paint.exe" "$rounds" --plain
