#!/usr/bin/env bash
# Checks the releases that scripts/package.sh left in dist/, as a user would
# meet them: the Debian package passes lintian, installs, its programs run an
# export, its man pages open and cover every subcommand and option, its
# completion completes, and it removes cleanly; the zip holds what it should,
# its executables import only DLLs that ship with Windows and carry the
# project's version, and Kavrin.exe unpacked from it into a folder whose name
# has a space and a non-ASCII letter connects to a virtual reader under Wine.
#
# Needs the test builds of scripts/build.sh (kavrin-sim, the window driver,
# the Wine prefix). Installs the package on this machine: run it as root.
# Prints one "ok NAME" or "FAILED NAME" line per check, a failure followed by
# what went wrong, indented.
set -uo pipefail
cd "$(dirname "$0")/../.."
export LC_ALL=C.UTF-8

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/package-linux/CMakeCache.txt)
deb=dist/kavrin_${version}_amd64.deb
zip=dist/kavrin-${version}-windows-x64.zip
work=$(mktemp -d /tmp/kavrin-packages.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Windows' own DLLs that a program may rely on being there.
SYSTEM_DLLS="kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll comdlg32.dll shell32.dll ole32.dll msvcrt.dll"

check() {
  local name=$1
  shift
  local why
  if why=$("$@" 2>&1); then
    echo "ok $name"
  else
    echo "FAILED $name"
    sed 's/^/    /' <<<"$why"
  fi
}

lintian_has_no_errors() {
  lintian --fail-on error "$deb"
}

installs() {
  dpkg -i "$deb" >/dev/null && [ -x /usr/bin/kavrin-cli ] && [ -x /usr/bin/kavrin-sim ] && [ -x /usr/bin/kavrin-gui ]
}

installed_programs_export() {
  [ "$(/usr/bin/kavrin-cli --version)" = "kavrin-cli $version" ] || { echo "kavrin-cli --version"; return 1; }
  [ "$(/usr/bin/kavrin-sim --version)" = "kavrin-sim $version" ] || { echo "kavrin-sim --version"; return 1; }
  mkdir "$work/out"
  /usr/bin/kavrin-sim --records 40 --link "$work/reader" >/dev/null &
  local sim=$!
  for _ in $(seq 100); do [ -e "$work/reader" ] && break; sleep 0.1; done
  local csv
  csv=$(/usr/bin/kavrin-cli -p "$work/reader" export -o "$work/out" 2>/dev/null)
  local status=$?
  kill $sim
  wait $sim
  [ $status -eq 0 ] || { echo "export exited with $status"; return 1; }
  [ "$(wc -l <"$csv")" -eq 41 ] || { echo "$csv does not hold a header and 40 rows"; return 1; }
}

# Every subcommand in --help, and every option, is on its man page.
man_page_covers() {
  local program=$1 words=$2 page
  page=$(man -P cat "$program" 2>&1) || { echo "$page"; return 1; }
  mandoc -T lint -W warning "/usr/share/man/man1/$program.1.gz" || return 1
  local word missing=""
  for word in $words; do grep -qF -- "$word" <<<"$page" || missing+=" $word"; done
  [ -z "$missing" ] || { echo "not on the page:$missing"; return 1; }
}

# The long options a --help lists.
long_options() {
  "$@" --help | grep -o -- '--[a-z][a-z-]*' | sort -u
}

man_pages_open() {
  local commands command words
  commands=$(/usr/bin/kavrin-cli --help | sed -n '/^Subcommands:/,$s/^  \([a-z-]*\) .*/\1/p')
  [ -n "$commands" ] || { echo "kavrin-cli --help lists no subcommands"; return 1; }
  words="$commands $(long_options /usr/bin/kavrin-cli)"
  for command in $commands; do words+=" $(long_options /usr/bin/kavrin-cli "$command")"; done
  man_page_covers kavrin-cli "$words" && man_page_covers kavrin-sim "$(long_options /usr/bin/kavrin-sim)"
}

# The window is on the desktop's menu with its icon, and its man page opens.
window_is_on_the_desktop() {
  desktop-file-validate /usr/share/applications/kavrin-gui.desktop || return 1
  local size
  for size in 16 24 32 48 64 128 256; do
    [ -f "/usr/share/icons/hicolor/${size}x${size}/apps/kavrin-gui.png" ] || { echo "no ${size}px icon"; return 1; }
  done
  [ "$(QT_QPA_PLATFORM=offscreen /usr/bin/kavrin-gui --version)" = "kavrin-gui $version" ] || { echo "kavrin-gui --version"; return 1; }
  man_page_covers kavrin-gui "$(QT_QPA_PLATFORM=offscreen long_options /usr/bin/kavrin-gui)"
}

completes_export() {
  local reply
  reply=$(bash -c 'source /usr/share/bash-completion/completions/kavrin-cli
                   COMP_WORDS=(kavrin-cli ex); COMP_CWORD=1; _kavrin_cli; echo "${COMPREPLY[*]}"')
  [ "$reply" = export ] || { echo "kavrin-cli ex completes to '$reply'"; return 1; }
}

removes_cleanly() {
  local files
  files=$(dpkg -L kavrin) || return 1
  dpkg -r kavrin >/dev/null || return 1
  dpkg -s kavrin 2>/dev/null | grep -q '^Status: install ok installed' && { echo "still installed"; return 1; }
  local file left=""
  for file in $files; do [ -f "$file" ] && left+=" $file"; done
  [ -z "$left" ] || { echo "left behind:$left"; return 1; }
}

zip_holds_the_programs() {
  local top=Kavrin-$version
  local want="$top/ $top/Kavrin.exe $top/README.txt $top/kavrin-cli.exe"
  local have
  have=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
  [ "$have" = "$want " ] || { echo "holds: $have"; return 1; }
  unzip -q "$zip" -d "$work/zip"
  # CR LF on every line, for Notepad on old Windows.
  ! grep -q $'[^\r]$' "$work/zip/$top/README.txt" || { echo "README.txt has lines without CR LF"; return 1; }
}

imports_only_system_dlls() {
  local exe dll bad=""
  for exe in "$work"/zip/Kavrin-*/*.exe; do
    for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z'); do
      [[ " $SYSTEM_DLLS " == *" $dll "* ]] || bad+=" $(basename "$exe"):$dll"
    done
  done
  [ -z "$bad" ] || { echo "imports:$bad"; return 1; }
}

carries_the_version() {
  local top="$work/zip/Kavrin-$version"
  /usr/bin/python3 tests/package/version_info.py "$version" "$top/Kavrin.exe" --manifest &&
    /usr/bin/python3 tests/package/version_info.py "$version" "$top/kavrin-cli.exe"
}

connects_from_an_unusual_folder() {
  local folder="$work/Kavrin Übung"
  mkdir "$folder"
  unzip -q "$zip" -d "$folder"
  python3 tests/wine/run_dialog_tests.py --sim build/linux/kavrin-sim --prefix build/windows/wineprefix \
    --kavrin "$folder/Kavrin-$version/Kavrin.exe" --driver build/windows/tests/wine/kavrin_window_driver.exe \
    --artifacts build/package-check -k test_connect_shows_the_version_and_a_second_click_disconnects
}

check "lintian finds no errors in the package" lintian_has_no_errors
check "the package installs" installs
check "the installed kavrin-cli exports from the installed kavrin-sim" installed_programs_export
check "the man pages open and cover every subcommand and option" man_pages_open
check "the window is on the desktop with its icon and man page" window_is_on_the_desktop
check "bash completes kavrin-cli ex to export" completes_export
check "the package removes cleanly" removes_cleanly
check "the zip holds one folder with the programs and README.txt" zip_holds_the_programs
check "the executables import only DLLs that ship with Windows" imports_only_system_dlls
check "VERSIONINFO and the manifest carry the CMake version" carries_the_version
check "Kavrin.exe from the zip connects from a folder with a space and a non-ASCII letter" connects_from_an_unusual_folder
