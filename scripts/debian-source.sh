#!/usr/bin/env bash
# Fetches and unpacks Debian's source package PACKAGE into the folder DIR
# (which must exist), and prints the path of the unpacked source.
#
# It runs apt-get source through a private apt configuration: deb-src
# entries for the mirrors and suites this machine already uses, with their
# own lists folder, so the machine's sources and package lists stay
# untouched.
set -euo pipefail
package=$1
dir=$2

apt_dir=$dir/apt
mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$dir/src"
: >"$apt_dir/sources.list"

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
    }' "$f" >>"$apt_dir/sources.list"
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
      if (binary && suites) print out }' "$f" >>"$apt_dir/parts/debian-source.sources"
done

apt=(apt-get -q
     -o Dir::Etc::SourceList="$apt_dir/sources.list"
     -o Dir::Etc::SourceParts="$apt_dir/parts"
     -o Dir::State::Lists="$apt_dir/lists"
     -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
     -o APT::Sandbox::User=root)
"${apt[@]}" update >/dev/null
(cd "$dir/src" && "${apt[@]}" source "$package" >/dev/null)
find "$dir/src" -mindepth 1 -maxdepth 1 -type d -name "$package-*"
