#!/usr/bin/env bash
# Builds the releases from scratch in build/package-*, and leaves them in
# dist/: kavrin-<version>-windows-x64.zip, the installer
# kavrin-<version>-windows-x64.msi with the same files, and
# kavrin_<version>_amd64.deb.
# Two runs on the same commit give the same bytes, wherever the clone is:
# every timestamp is the commit's, and no build path reaches a binary.
set -euo pipefail
cd "$(dirname "$0")/.."

SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
# Archives store permissions as the files have them; the umask sets those.
umask 022
export TZ=UTC LC_ALL=C.UTF-8

rm -rf build/package-linux build/package-windows dist
mkdir -p dist
cmake -S . -B build/package-linux -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build build/package-linux -j2
# Built only where Qt is installed; a release must carry it.
[ -x build/package-linux/qt/kavrin-gui ] || { echo "kavrin-gui was not built: Qt 6 is missing (scripts/install-deps.sh)"; exit 1; }
(cd build/package-linux && cpack -B "$PWD/cpack")
bash scripts/xlsxwriter-windows.sh
bash scripts/sqlite-windows.sh
cmake -S . -B build/package-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DBUILD_TESTING=OFF >/dev/null
cmake --build build/package-windows -j2
(cd build/package-windows && cpack -B "$PWD/cpack")
cp build/package-linux/cpack/*.deb build/package-windows/cpack/*.zip dist/
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package-windows/CMakeCache.txt)
unzip -q "dist/kavrin-$version-windows-x64.zip" -d build/package-windows/msi
bash scripts/build-msi.sh "build/package-windows/msi/Kavrin-$version" "$version" "dist/kavrin-$version-windows-x64.msi"
ls -l dist
