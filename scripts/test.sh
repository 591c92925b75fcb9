#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test: natively,
# natively again under AddressSanitizer and UndefinedBehaviorSanitizer, the
# Windows programs under Wine, each fuzz target for a fixed number of
# inputs, and the releases: built by scripts/package.sh, checked as a user
# meets them, and built again in another clone to compare their bytes.
# Ends with one "N passed, N failed" line.
set -uo pipefail
cd "$(dirname "$0")/.."
# Wine names Unix files in the locale's character set: a UTF-8 locale keeps
# the tests' non-ASCII paths intact whatever the machine was set up with.
export LC_ALL=C.UTF-8

bash scripts/install-deps.sh || exit 1
bash scripts/build.sh --sanitizers || exit 1
# The Linux window builds only where Qt 6 is installed; here it must have.
if [ ! -x build/linux/qt/kavrin-gui ]; then
  echo "kavrin-gui was not built: Qt 6 Widgets not found"
  exit 1
fi

passed=0
failed=0
for build in build/linux build/sanitizers build/windows; do
  log=$(mktemp)
  (cd "$build" && ctest --output-on-failure -j2) 2>&1 | tee "$log"
  total=$(sed -n 's/.* tests passed, \([0-9]*\) tests failed out of \([0-9]*\)/\1 \2/p' "$log" | tail -n 1)
  if [ -z "$total" ]; then
    failed=$((failed + 1))
  else
    set -- $total
    failed=$((failed + $1))
    passed=$((passed + $2 - $1))
  fi
  rm -f "$log"
done

# Each fuzz target counts as one test.
fuzzlog=$(mktemp)
bash scripts/fuzz.sh >"$fuzzlog" 2>&1
fuzzrc=$?
cat "$fuzzlog"
passed=$((passed + $(grep -c ': #[0-9]*[[:space:]]*DONE' "$fuzzlog")))
if [ "$fuzzrc" -ne 0 ]; then failed=$((failed + 1)); fi
rm -f "$fuzzlog"

# Each check of the releases counts as one test.
pkglog=$(mktemp)
if bash scripts/package.sh >"$pkglog" 2>&1; then
  tests/package/check_packages.sh 2>&1 | tee "$pkglog"
  bash scripts/check-reproducible.sh 2>&1 | tee -a "$pkglog"
else
  cat "$pkglog"
  echo "FAILED scripts/package.sh" | tee "$pkglog"
fi
passed=$((passed + $(grep -c '^ok ' "$pkglog")))
failed=$((failed + $(grep -c '^FAILED ' "$pkglog")))
rm -f "$pkglog"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
