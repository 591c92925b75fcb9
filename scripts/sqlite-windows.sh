#!/usr/bin/env bash
# Builds Debian's SQLite for the Windows programs: a static library
# cross-built with MinGW-w64, installed into build/deps/sqlite-windows.
#
# The source is Debian's own source package (scripts/debian-source.sh),
# Debian's patches applied. Its amalgamation (the one-file sqlite3.c) is
# generated from it with the build's own tools on this machine, which needs
# tclsh, and then compiled for Windows. A finished build is kept: later
# runs fetch and build nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

prefix=$PWD/build/deps/sqlite-windows
[ -f "$prefix/lib/libsqlite3.a" ] && exit 0

# Built outside the checkout, whose path may hold a space.
work=$(mktemp -d /tmp/kavrin-sqlite.XXXXXX)
trap 'rm -rf "$work"' EXIT
source_dir=$(bash scripts/debian-source.sh sqlite3 "$work")

mkdir -p "$work/amalgamation"
(cd "$work/amalgamation" && "$source_dir/configure" >/dev/null && make sqlite3.c >/dev/null)

# No extension loading: the programs are single static executables. The
# build folder's path is mapped away, so the programs do not depend on it.
x86_64-w64-mingw32-gcc-posix -O2 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_THREADSAFE=1 \
    -ffile-prefix-map="$work=." -c "$work/amalgamation/sqlite3.c" -o "$work/sqlite3.o"
mkdir -p "$prefix/include" "$prefix/lib"
x86_64-w64-mingw32-ar rcsD "$prefix/lib/libsqlite3.a" "$work/sqlite3.o"
cp "$work/amalgamation/sqlite3.h" "$prefix/include/"
