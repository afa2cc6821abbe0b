#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test:
#   native     - the platform-independent core with sanitizers (GoogleTest)
#   fuzz       - a short libFuzzer run of every target under fuzz/
#   windows    - QaBrisel.exe for 32-bit Windows, the product (checked as a file)
#   windows64  - the same sources for 64-bit Windows, run under Wine: in-process
#                and black-box tests in a fresh prefix on a private Xvfb display
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash tools/install-deps.sh

jobs=$(nproc)
for preset in native windows windows64; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

passed=0; failed=0
run_ctest() {
  local preset=$1 log
  log=$(mktemp)
  echo "== test $preset"
  set +e
  ctest --preset "$preset" --timeout 900 2>&1 | tee "$log"
  set -e
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n1 || true)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
  else
    local total bad
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad)); failed=$((failed + bad))
  fi
  rm -f "$log"
}

run_ctest native
run_ctest windows
run_ctest windows64

echo "== fuzz (short run; FUZZ_SECONDS=600 bash tools/fuzz.sh for a longer one)"
if FUZZ_SECONDS=${FUZZ_SECONDS:-10} bash tools/fuzz.sh >build/fuzz.log 2>&1; then
  passed=$((passed + 1)); tail -n 1 build/fuzz.log
else
  failed=$((failed + 1)); tail -n 40 build/fuzz.log
fi

echo "all presets: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
