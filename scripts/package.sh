#!/usr/bin/env bash
# Makes the releases and leaves them in dist/: kavrin-<version>-windows-x64.zip,
# the installer kavrin-<version>-windows-x64.msi with the same files, and
# kavrin_<version>_amd64.deb.
#   scripts/package.sh                  builds them from scratch in build/package-*
#   scripts/package.sh LINUX WINDOWS    packs the builds of this commit that
#                                       scripts/build.sh made in these folders
# Two runs on the same commit give the same bytes, wherever the clone is
# and whichever way they were made: every timestamp is the commit's, no
# build path reaches a binary, and the tests and benchmarks of a test build
# are neither installed nor linked into the programs.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/reproducible-env.sh

if [ $# -eq 2 ]; then
  linux=$1
  windows=$2
else
  linux=build/package-linux
  windows=build/package-windows
  rm -rf "$linux" "$windows"
  cmake -S . -B "$linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$linux" -j2
  bash scripts/xlsxwriter-windows.sh
  bash scripts/sqlite-windows.sh
  cmake -S . -B "$windows" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
        -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$windows" -j2
fi
# Built only where Qt is installed; a release must carry it.
[ -x "$linux/qt/kavrin-gui" ] || { echo "kavrin-gui was not built: Qt 6 is missing (scripts/install-deps.sh)"; exit 1; }

rm -rf dist "$linux/cpack" "$windows/cpack" "$windows/msi"
mkdir -p dist
(cd "$linux" && cpack -B "$PWD/cpack")
(cd "$windows" && cpack -B "$PWD/cpack")
cp "$linux"/cpack/*.deb "$windows"/cpack/*.zip dist/
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$windows/CMakeCache.txt")
unzip -q "dist/kavrin-$version-windows-x64.zip" -d "$windows/msi"
bash scripts/build-msi.sh "$windows/msi/Kavrin-$version" "$version" "dist/kavrin-$version-windows-x64.msi"
ls -l dist
