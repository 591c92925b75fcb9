#!/usr/bin/env bash
# Builds Debian's libxlsxwriter for the Windows programs: a static library
# cross-built with MinGW-w64 against Debian's zlib for MinGW
# (libz-mingw-w64-dev), installed into build/deps/xlsxwriter-windows.
#
# The source is Debian's own source package, fetched with apt-get source
# through a private apt configuration: deb-src entries for the mirrors and
# suites this machine already uses, with their own lists folder, so the
# machine's sources and package lists stay untouched. A finished build is
# kept: later runs fetch and build nothing.
set -euo pipefail
cd "$(dirname "$0")/.."

root=$PWD/build/deps
prefix=$root/xlsxwriter-windows
[ -f "$prefix/lib/libxlsxwriter.a" ] && exit 0

# Built outside the checkout, whose path may hold a space that the compiler
# flags below cannot carry.
work=$(mktemp -d /tmp/kavrin-xlsxwriter.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/apt/parts" "$work/apt/lists/partial" "$work/src"
: >"$work/apt/sources.list"

# Source entries for this release's suites (bookworm, bookworm-updates,
# bookworm-security), from both formats of apt's sources.
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  awk -v c="$codename" '$1 == "deb" {
      rest = $0; sub(/^deb[ \t]+/, "", rest); opts = ""
      if (rest ~ /^\[/) { opts = substr(rest, 1, index(rest, "]")) " "; rest = substr(rest, index(rest, "]") + 1) }
      split(rest, w, " ")
      if (w[2] == c || index(w[2], c "-") == 1) print "deb-src " opts rest
    }' "$f" >>"$work/apt/sources.list"
done
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  awk -v c="$codename" 'BEGIN { RS = ""; FS = "\n" }
    { binary = 0; suites = 0; out = ""
      for (i = 1; i <= NF; i++) {
        line = $i
        if (line ~ /^#/) continue
        if (line ~ /^Types:/) { binary = line ~ /[ \t]deb([ \t]|$)/; line = "Types: deb-src" }
        if (line ~ /^Enabled:[ \t]*no/) binary = 0
        if (line ~ /^Suites:/) {
          n = split(substr(line, 8), s, /[ \t]+/); line = "Suites:"
          for (j = 1; j <= n; j++) if (s[j] == c || index(s[j], c "-") == 1) { line = line " " s[j]; suites = 1 }
        }
        out = out line "\n"
      }
      if (binary && suites) print out }' "$f" >>"$work/apt/parts/debian-source.sources"
done

apt=(apt-get -q
     -o Dir::Etc::SourceList="$work/apt/sources.list"
     -o Dir::Etc::SourceParts="$work/apt/parts"
     -o Dir::State::Lists="$work/apt/lists"
     -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
     -o APT::Sandbox::User=root)
"${apt[@]}" update >/dev/null
(cd "$work/src" && "${apt[@]}" source libxlsxwriter >/dev/null)
source_dir=$(find "$work/src" -mindepth 1 -maxdepth 1 -type d -name 'libxlsxwriter-*')

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
