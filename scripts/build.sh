#!/usr/bin/env bash
# Builds the Linux programs (build/linux) and the Windows ones (build/windows).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/linux -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/linux -j2
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DKAVRIN_SIM="$PWD/build/linux/kavrin-sim" >/dev/null
cmake --build build/windows -j2
