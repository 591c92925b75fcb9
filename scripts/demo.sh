#!/usr/bin/env bash
# The main job, end to end: build the Linux programs, start a virtual reader
# holding a few dozen records, download them all with kavrin-cli into a CSV
# file, print the file, then what the record book holds: the download, and
# a second download of the same reader that brings nothing new. The package
# manager's output goes to a log that is shown only when an install fails.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! bash scripts/install-deps.sh --linux >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "installing what the demo needs failed (above)" >&2
  exit 1
fi
cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux -j2 --target kavrin-sim kavrin-cli >/dev/null

build/linux/kavrin-sim --records 40 --link "$work/reader" >"$work/sim.out" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -e "$work/reader" ] && break; sleep 0.1; done

# A book of the demo's own, so the user's stays as it was.
cli=(build/linux/cli/kavrin-cli --book "$work/records.db" -p "$work/reader")
csv=$("${cli[@]}" export -o "$work")
echo "== $csv"
cat "$csv"
echo "== the record book: kavrin-cli book"
"${cli[@]}" book
echo "== the same reader once more: every read is in the book already"
"${cli[@]}" export -o "$work" >/dev/null
"${cli[@]}" book
