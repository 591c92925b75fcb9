#!/usr/bin/env bash
# Builds the Linux programs (build/linux), the Windows ones (build/windows)
# and, with --sanitizers, the Linux tests once more with AddressSanitizer and
# UndefinedBehaviorSanitizer (build/sanitizers). scripts/package.sh can pack
# the first two as the releases.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/reproducible-env.sh

# SQLite for Windows is one large file that compiles on one processor: it
# builds while the Linux programs take up the rest.
bash scripts/sqlite-windows.sh &
sqlite=$!
cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux -j2
bash scripts/xlsxwriter-windows.sh
wait "$sqlite"
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DKAVRIN_SIM="$PWD/build/linux/kavrin-sim" >/dev/null
cmake --build build/windows -j2

if [ "${1:-}" = "--sanitizers" ]; then
  # The virtual machine's test runs once, in build/linux.
  cmake -S . -B build/sanitizers -DCMAKE_BUILD_TYPE=Debug -DKAVRIN_VM_TESTS=OFF \
        -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" >/dev/null
  cmake --build build/sanitizers -j2
fi
