#!/usr/bin/env bash
# Builds the libFuzzer targets under fuzz/ with clang and runs each for a few
# seconds (FUZZ_SECONDS, default 10). A longer run:
#   FUZZ_SECONDS=600 bash tools/fuzz.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/fuzz
mkdir -p "$out"
seconds=${FUZZ_SECONDS:-10}
clang=$(command -v clang++-14 || command -v clang++)
for target in "$root"/fuzz/*_fuzz.cpp; do
  name=$(basename "$target" .cpp)
  "$clang" -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$root" "$target" "$root"/net/core/*.cpp "$root"/app/core/*.cpp -o "$out/$name"
  mkdir -p "$out/$name.corpus"
  echo "== fuzz $name for ${seconds}s"
  "$out/$name" -max_total_time="$seconds" -max_len=256 "$out/$name.corpus"
done
