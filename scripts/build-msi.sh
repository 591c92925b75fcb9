#!/usr/bin/env bash
# Builds the Windows installer from a folder holding the zip's files:
#   build-msi.sh FOLDER VERSION OUT.msi
# Any version can be given, so that a test can build a lower one from the
# same files. Two runs with the same files, version and SOURCE_DATE_EPOCH
# give the same bytes: wixl stamps the package with the time of the run and
# a random package code, so it runs with the clock frozen at the commit's
# time (faketime -f; a clock that runs on from there stamps the next second
# now and then), and the package code is made from what the package holds.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
folder=$1 version=$2 out=$3
wxs=$here/packaging/windows/kavrin.wxs
: "${SOURCE_DATE_EPOCH:=$(git -C "$here" log -1 --format=%ct)}"

# A fixed namespace: the same version always has the same product code.
codes=$(python3 - "$version" "$wxs" "$folder"/* <<'PY'
import hashlib, sys, uuid
namespace = uuid.UUID("65c3fb7e-c8ae-4f2d-8e0b-48784b48b0d0")
version, inputs = sys.argv[1], sys.argv[2:]
digest = hashlib.sha256(version.encode())
for name in inputs:
    with open(name, "rb") as f:
        digest.update(f.read())
print(str(uuid.uuid5(namespace, "product " + version)).upper(), str(uuid.uuid5(namespace, digest.hexdigest())).upper())
PY
)
read -r product_code package_code <<<"$codes"

# wixl takes only relative source paths: it runs in a folder of links.
links=$(mktemp -d)
trap 'rm -rf "$links"' EXIT
ln -s "$(cd "$folder" && pwd)" "$links/files"
ln -s "$here/ui/Kavrin.ico" "$links/Kavrin.ico"
out=$(realpath -m "$out")
at=$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')
export TZ=UTC
(cd "$links" && faketime -f "$at" wixl -a x64 -D Version="$version" -D ProductCode="$product_code" -o "$out" "$wxs")
faketime -f "$at" msibuild "$out" -s "Kavrin $version" "the Kavrin developers" "x64;1033" "{$package_code}"
# wixl has no Environment element: msibuild adds the table that puts the
# folder at the end of the system PATH and takes it off again on removal.
queries=(
  'CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE,
   `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)'
  "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`)
   VALUES ('SystemPath', '=-*PATH', '[~];[INSTALLDIR]', 'CommandLine')"
  "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('RemoveEnvironmentStrings', 3300)"
  "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('WriteEnvironmentStrings', 5200)"
)
for query in "${queries[@]}"; do faketime -f "$at" msibuild "$out" -q "$query"; done
