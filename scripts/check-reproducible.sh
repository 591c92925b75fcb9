#!/usr/bin/env bash
# Checks that the releases are reproducible: builds them again with
# scripts/package.sh in a fresh clone of this commit in another folder, and
# compares each file's checksum with dist/ of this checkout, which
# scripts/package.sh made from the same commit. Prints one "ok" or "FAILED"
# line per release and exits non-zero on any difference.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -n "$(git status --porcelain)" ]; then
  echo "FAILED reproducible: this checkout has uncommitted changes, so dist/ is not of one commit"
  exit 1
fi
work=$(mktemp -d /tmp/kavrin-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
clone="$work/another folder/kavrin-clone"
git clone -q "$PWD" "$clone"
git -C "$clone" checkout -q "$(git rev-parse HEAD)"
bash "$clone/scripts/package.sh" >"$work/package.log" 2>&1 || {
  cat "$work/package.log"
  echo "FAILED reproducible: scripts/package.sh failed in $clone"
  exit 1
}

status=0
for file in dist/*.deb dist/*.zip dist/*.msi; do
  name=$(basename "$file")
  here=$(sha256sum <"$file" | cut -d' ' -f1)
  there=$(sha256sum <"$clone/dist/$name" 2>/dev/null | cut -d' ' -f1 || true)
  if [ "$here" = "$there" ]; then
    echo "ok reproducible: $name $here"
  else
    echo "FAILED reproducible: $name is $here here and ${there:-missing} in another clone"
    status=1
  fi
done
exit $status
