#!/usr/bin/env bash
# Builds Debian's libxlsxwriter for the Windows programs: a static library
# cross-built with MinGW-w64 against Debian's zlib for MinGW
# (libz-mingw-w64-dev), installed into build/deps/xlsxwriter-windows.
#
# The source is Debian's own source package (scripts/debian-source.sh). A
# finished build is kept: later runs fetch and build nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

root=$PWD/build/deps
prefix=$root/xlsxwriter-windows
[ -f "$prefix/lib/libxlsxwriter.a" ] && exit 0

# Built outside the checkout, whose path may hold a space that the compiler
# flags below cannot carry.
work=$(mktemp -d /tmp/kavrin-xlsxwriter.XXXXXX)
trap 'rm -rf "$work"' EXIT
source_dir=$(bash scripts/debian-source.sh libxlsxwriter "$work")

# The bundled minizip, MD5 and temporary-file code: Debian has no MinGW
# builds of them. zlib is taken as the static library only, so the
# programs stay free of DLLs. The library's source paths (its messages
# carry __FILE__) are mapped away, so the programs do not depend on where
# the checkout is.
mingw=/usr/x86_64-w64-mingw32
cmake -S "$source_dir" -B "$work/build" \
      -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -DCMAKE_C_FLAGS="-ffile-prefix-map=$work=." \
      -DZLIB_INCLUDE_DIR="$mingw/include" -DZLIB_LIBRARY="$mingw/lib/libz.a" >/dev/null
cmake --build "$work/build" -j2 >/dev/null
cmake --install "$work/build" >/dev/null
