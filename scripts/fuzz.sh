#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one.
#   scripts/fuzz.sh                 a fixed number of inputs per target, fixed seed (CI)
#   scripts/fuzz.sh --seconds N     N seconds per target, keeping a corpus in build/fuzz/corpus
# Any crash, leak, out-of-bounds access or broken invariant fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=300000
seconds=""
if [ "${1:-}" = "--seconds" ]; then seconds=$2; fi

CC=clang CXX=clang++ cmake -S . -B build/fuzz -DKAVRIN_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j2

for target in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$target")
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  # Hand-made inputs that reach deep paths from the first run (read only).
  seeds=()
  if [ -d "fuzz/seeds/$name" ]; then seeds=("fuzz/seeds/$name"); fi
  if [ -n "$seconds" ]; then
    limit=(-max_total_time="$seconds")
  else
    limit=(-runs="$runs" -seed=1)
  fi
  log=build/fuzz/$name.log
  if ! "$target" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name: FAILED"
    exit 1
  fi
  echo "$name: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)"
done
