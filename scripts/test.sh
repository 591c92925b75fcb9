#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test: natively,
# natively again under AddressSanitizer and UndefinedBehaviorSanitizer, the
# Windows programs under Wine, each fuzz target for a fixed number of
# inputs, and the releases: packed from the builds the tests ran on,
# checked as a user meets them, and built again from scratch in another
# clone to compare their bytes. Ends with one "N passed, N failed" line.
set -uo pipefail
cd "$(dirname "$0")/.."
# Wine names Unix files in the locale's character set: a UTF-8 locale keeps
# the tests' non-ASCII paths intact whatever the machine was set up with.
export LC_ALL=C.UTF-8

# How long each stage took, printed again at the end with the failures: CI
# shows only the end of the output.
start=$SECONDS
times=""
timed() { times="$times$1 $((SECONDS - start)) s"$'\n'; start=$SECONDS; }
failures=$(mktemp)
trap 'rm -f "$failures"' EXIT

bash scripts/install-deps.sh || exit 1
timed "install"
bash scripts/build.sh --sanitizers || exit 1
timed "build"
# The Linux window builds only where Qt 6 is installed; here it must have.
if [ ! -x build/linux/qt/kavrin-gui ]; then
  echo "kavrin-gui was not built: Qt 6 Widgets not found"
  exit 1
fi

passed=0
failed=0
# The releases, packed from the builds that the tests below run on. Each
# check of them counts as one test.
pkglog=$(mktemp)
reprolog=$(mktemp)
repro=""
if bash scripts/package.sh build/linux build/windows >"$pkglog" 2>&1; then
  : >"$pkglog"
  # Built again from scratch in another clone, which takes minutes of
  # compiling: it runs meanwhile at the lowest priority, on what the tests
  # leave of the processors while they wait on virtual readers.
  nice -n 19 bash scripts/check-reproducible.sh >"$reprolog" 2>&1 &
  repro=$!
else
  cat "$pkglog"
  echo "FAILED scripts/package.sh" | tee "$pkglog"
fi
timed "pack"

# Most tests wait on a virtual reader's time-outs, not on a processor:
# more of them run at once than there are processors. Those of the Windows
# build share one Wine prefix and run one at a time.
for build in build/linux:6 build/sanitizers:4 build/windows:2; do
  jobs=${build#*:}
  build=${build%:*}
  log=$(mktemp)
  (cd "$build" && ctest --output-on-failure -j"$jobs") 2>&1 | tee "$log"
  total=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\)/\1 \2/p' "$log" | tail -n 1)
  if [ -z "$total" ]; then
    failed=$((failed + 1))
  else
    set -- $total
    failed=$((failed + $1))
    passed=$((passed + $2 - $1))
  fi
  # A failed test's output: from its result line to the next test's line.
  awk -v b="$build" '/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: / { keep = /\*\*\*/; if (keep) print "== " b ":" }
                     /^ *Start +[0-9]+: / { keep = 0 } keep' "$log" >>"$failures"
  rm -f "$log"
  timed "ctest $build"
done

# Each fuzz target counts as one test.
fuzzlog=$(mktemp)
bash scripts/fuzz.sh >"$fuzzlog" 2>&1
fuzzrc=$?
cat "$fuzzlog"
passed=$((passed + $(grep -c ': #[0-9]*[[:space:]]*DONE' "$fuzzlog")))
if [ "$fuzzrc" -ne 0 ]; then failed=$((failed + 1)); fi
rm -f "$fuzzlog"
timed "fuzz"

if [ -n "$repro" ]; then
  tests/package/check_packages.sh 2>&1 | tee "$pkglog"
  timed "release checks"
  wait "$repro"
  tee -a "$pkglog" <"$reprolog"
  timed "reproducibility, after the rest"
fi
passed=$((passed + $(grep -c '^ok ' "$pkglog")))
failed=$((failed + $(grep -c '^FAILED ' "$pkglog")))
rm -f "$pkglog" "$reprolog"

if [ -s "$failures" ]; then
  echo "The failed tests' output, passing cases left out, at most 60 lines each:"
  grep -v -E '^\[ +(RUN|OK) +\]' "$failures" | awk '/^== / { n = 0 } n++ < 61'
fi
printf '%s' "$times"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
