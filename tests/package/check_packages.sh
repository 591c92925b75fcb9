#!/usr/bin/env bash
# Checks the releases that scripts/package.sh left in dist/, as a user would
# meet them: the Debian package passes lintian, installs, its programs run an
# export, its man pages open and cover every subcommand and option, its
# completion completes, and it removes cleanly; the zip holds what it should,
# its executables (Kavrin Records' among them) import only DLLs that ship
# with Windows and carry the project's version, and Kavrin.exe unpacked
# from it into a folder whose name has a space and a non-ASCII letter
# connects to a virtual reader under Wine; the MSI's tables say what it
# installs, and under Wine, in a prefix of its own, an MSI of a lower
# version built from the same files installs silently with the Start-menu
# shortcuts of Kavrin and Kavrin Records, this one upgrades it, the
# installed Kavrin.exe connects, and a silent uninstall leaves nothing
# behind.
#
# Needs the test builds of scripts/build.sh (kavrin-sim, the window driver,
# the Wine prefix). Installs the package on this machine: run it as root.
# Prints one "ok NAME" or "FAILED NAME" line per check, a failure followed by
# what went wrong, indented.
set -uo pipefail
cd "$(dirname "$0")/../.."
export LC_ALL=C.UTF-8

version=$(sed -n "s/^project(Kavrin VERSION \([0-9.]*\).*/\1/p" CMakeLists.txt)
deb=dist/kavrin_${version}_amd64.deb
zip=dist/kavrin-${version}-windows-x64.zip
msi=dist/kavrin-${version}-windows-x64.msi
work=$(mktemp -d /tmp/kavrin-packages.XXXXXX)
trap 'rm -rf "$work"' EXIT

# Windows' own DLLs that a program may rely on being there.
SYSTEM_DLLS="kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll comdlg32.dll shell32.dll ole32.dll setupapi.dll cfgmgr32.dll msvcrt.dll"

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
  csv=$(XDG_DATA_HOME="$work" /usr/bin/kavrin-cli -p "$work/reader" export -o "$work/out" 2>/dev/null)
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

# The watch's user unit is there for a user to enable; nobody's is enabled.
watch_unit_is_shipped_not_enabled() {
  [ -f /usr/lib/systemd/user/kavrin-watch.service ] || { echo "no kavrin-watch.service"; return 1; }
  local enabled
  enabled=$(find /etc/systemd/user -name kavrin-watch.service 2>/dev/null)
  [ -z "$enabled" ] || { echo "enabled: $enabled"; return 1; }
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
  local want="$top/ $top/Kavrin.exe $top/README.txt $top/kavrin-cli.exe $top/kavrin-records.exe"
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
    /usr/bin/python3 tests/package/version_info.py "$version" "$top/kavrin-records.exe" --manifest &&
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

# The rows of an MSI table, as msiinfo exports them (tab-separated, CR LF,
# after three lines of column names, types and keys).
msi_table() {
  msiinfo export "$msi" "$1" | tr -d '\r' | tail -n +4
}

msi_tables_say_what_it_installs() {
  local want
  for want in "ProductVersion	$version" "ALLUSERS	1" "Manufacturer	the Kavrin developers" "ARPPRODUCTICON	Kavrin.ico"; do
    msi_table Property | grep -qxF "$want" || { echo "Property table lacks: $want"; return 1; }
  done
  msi_table Directory | grep -qxF "INSTALLDIR	ProgramFiles64Folder	Kavrin" || { echo "not into Program Files\Kavrin"; return 1; }
  msi_table File | cut -f3 | sort | tr '\n' ' ' | grep -qxF "Kavrin.exe README.txt kavrin-cli.exe kavrin-records.exe " ||
    { echo "files: $(msi_table File | cut -f3 | tr '\n' ' ')"; return 1; }
  # Start menu, the window, its working folder the user's Documents.
  msi_table Shortcut | awk -F'\t' '$2 == "ProgramMenuFolder" && $3 == "Kavrin" && $5 == "[#KavrinExe]" && $12 == "PersonalFolder"' |
    grep -q . || { echo "no Start-menu shortcut to Kavrin.exe in Documents"; msi_table Shortcut; return 1; }
  msi_table Shortcut | awk -F'\t' '$2 == "ProgramMenuFolder" && $3 == "Kavrin Records" && $5 == "[#KavrinRecordsExe]"' |
    grep -q . || { echo "no Start-menu shortcut to kavrin-records.exe"; msi_table Shortcut; return 1; }
  msi_table LaunchCondition | grep -qxF "NOT WIX_DOWNGRADE_DETECTED	A newer version of Kavrin is already installed." ||
    { echo "no refusal of a downgrade"; return 1; }
}

# A prefix as fresh as a new PC, and no menu entries made on this machine.
msi_prefix=$work/msi-prefix
installed="$msi_prefix/drive_c/Program Files/Kavrin"
lower_msi=$work/kavrin-0.0.1.msi
msi_wine() {
  WINEPREFIX=$msi_prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d" "$@"
}
windows_path() {
  echo "Z:$(realpath "$1" | tr / '\\')"
}
# What a user could find of Kavrin: files and folders, Wine's own fonts and
# empty installer cache left out.
prefix_files() {
  (cd "$msi_prefix/drive_c" && find . | grep -v -e '^\./windows/Fonts/' -e '^\./windows/Installer$' | sort)
}
system_path() {
  msi_wine wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' /v PATH | tr -d '\r'
}
apps_entries() {
  msi_wine wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' |
    grep -E '^    (DisplayName|DisplayVersion|Publisher) ' | sed 's/ *REG_SZ */=/; s/^ *//'
}

lower_msi_installs_silently() {
  msi_wine wine wineboot -i >/dev/null 2>&1 && msi_wine wineserver -w || return 1
  prefix_files >"$work/before-install"
  bash scripts/build-msi.sh "$work/zip/Kavrin-$version" 0.0.1 "$lower_msi" || return 1
  msi_wine wine msiexec /i "$(windows_path "$lower_msi")" /qn || { echo "msiexec /i exited with $?"; return 1; }
  local file
  for file in Kavrin.exe kavrin-records.exe kavrin-cli.exe README.txt; do
    cmp -s "$installed/$file" "$work/zip/Kavrin-$version/$file" || { echo "$file not installed"; return 1; }
  done
  local link
  link=$(find "$msi_prefix/drive_c" -name Kavrin.lnk)
  [ -n "$link" ] || { echo "no shortcut"; return 1; }
  # The target is an 8-bit string in the link, the working folder UTF-16.
  strings "$link" | grep -qxF 'C:\Program Files\Kavrin\Kavrin.exe' || { echo "$link: not to Kavrin.exe"; return 1; }
  strings -el "$link" | grep -qE '^C:\\users\\[^\\]+\\Documents\\$' || { echo "$link: not started in Documents"; return 1; }
  link=$(find "$msi_prefix/drive_c" -name 'Kavrin Records.lnk')
  [ -n "$link" ] || { echo "no shortcut to Kavrin Records"; return 1; }
  strings "$link" | grep -qxF 'C:\Program Files\Kavrin\kavrin-records.exe' || { echo "$link: not to kavrin-records.exe"; return 1; }
  system_path | grep -qF ';C:\Program Files\Kavrin\' || { echo "not on PATH: $(system_path)"; return 1; }
}

msi_upgrades_and_the_lower_refuses() {
  msi_wine wine msiexec /i "$(windows_path "$msi")" /qn || { echo "msiexec /i exited with $?"; return 1; }
  local want="DisplayName=Kavrin DisplayVersion=$version Publisher=the Kavrin developers "
  [ "$(apps_entries | tr '\n' ' ')" = "$want" ] || { echo "Apps & features: $(apps_entries | tr '\n' ' ')"; return 1; }
  [ "$(system_path | grep -o 'Kavrin' | wc -l)" -eq 1 ] || { echo "PATH: $(system_path)"; return 1; }
  msi_wine wine msiexec /i "$(windows_path "$lower_msi")" /qn && { echo "the lower version installed over this one"; return 1; }
  [ "$(apps_entries | tr '\n' ' ')" = "$want" ] || { echo "after the refusal: $(apps_entries | tr '\n' ' ')"; return 1; }
}

installed_kavrin_connects() {
  python3 tests/wine/run_dialog_tests.py --sim build/linux/kavrin-sim --prefix "$msi_prefix" \
    --kavrin "$installed/Kavrin.exe" --driver build/windows/tests/wine/kavrin_window_driver.exe \
    --artifacts build/package-check -k test_connect_shows_the_version_and_a_second_click_disconnects
}

msi_uninstalls_leaving_nothing() {
  msi_wine wine msiexec /x "$(windows_path "$msi")" /qn || { echo "msiexec /x exited with $?"; return 1; }
  diff "$work/before-install" <(prefix_files) || return 1
  [ -z "$(apps_entries)" ] || { echo "still in Apps & features"; return 1; }
  ! system_path | grep -qF 'Kavrin' || { echo "still on PATH: $(system_path)"; return 1; }
}

check "lintian finds no errors in the package" lintian_has_no_errors
check "the package installs" installs
check "the installed kavrin-cli exports from the installed kavrin-sim" installed_programs_export
check "the man pages open and cover every subcommand and option" man_pages_open
check "the window is on the desktop with its icon and man page" window_is_on_the_desktop
check "the watch's systemd user unit is shipped, not enabled" watch_unit_is_shipped_not_enabled
check "bash completes kavrin-cli ex to export" completes_export
check "the package removes cleanly" removes_cleanly
check "the zip holds one folder with the programs and README.txt" zip_holds_the_programs
check "the executables import only DLLs that ship with Windows" imports_only_system_dlls
check "VERSIONINFO and the manifest carry the CMake version" carries_the_version
check "Kavrin.exe from the zip connects from a folder with a space and a non-ASCII letter" connects_from_an_unusual_folder
check "the MSI's tables: version, per-machine into Program Files, the shortcuts, the window's starting in Documents" msi_tables_say_what_it_installs
check "an MSI of a lower version installs silently under Wine, with its shortcuts and PATH entry" lower_msi_installs_silently
check "the MSI upgrades it silently, and the lower version then refuses" msi_upgrades_and_the_lower_refuses
check "Kavrin.exe installed by the MSI connects to a virtual reader under Wine" installed_kavrin_connects
check "the MSI uninstalls silently, leaving no file, no shortcut, no PATH entry" msi_uninstalls_leaving_nothing
