#!/usr/bin/env bash
# The main job, end to end: build the Linux programs, start a virtual reader
# holding a few dozen records, download them all with kavrin-cli into a CSV
# file, and print the file.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --linux
cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux -j2 --target kavrin-sim kavrin-cli >/dev/null

work=$(mktemp -d)
build/linux/kavrin-sim --records 40 --link "$work/reader" >"$work/sim.out" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -e "$work/reader" ] && break; sleep 0.1; done

csv=$(build/linux/cli/kavrin-cli -p "$work/reader" export -o "$work")
echo "== $csv"
cat "$csv"
