#!/bin/sh
# The watch's systemd user unit: systemd-analyze verify passes, with the
# man page it names in reach, and what it starts is kavrin-cli watch into
# Kavrin in the Documents folder the desktop names (user-dirs.dirs), else
# in ~/Documents, the folder made first. Then the unit's command with the
# real kavrin-cli: it starts watching, says so at once (the journal gets
# each line as it is written, not at the end), and SIGTERM, which systemd
# stops a unit with, ends it by that signal. UNIT MAN_PAGE KAVRIN_CLI.
set -eu
unit=$1
page=$2
cli=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/man/man1" "$work/bin" "$work/home/.config"
cp "$page" "$work/man/man1/"
XDG_RUNTIME_DIR=$work MANPATH=$work/man systemd-analyze --user verify "$unit"
echo "ok systemd-analyze verify $(basename "$unit")"

# kavrin-cli stands in as a script that says what it was given.
printf '#!/bin/sh\necho "$@"\n' >"$work/bin/kavrin-cli"
chmod +x "$work/bin/kavrin-cli"
command=$(sed -n 's/^ExecStart=//p' "$unit" | sed 's/\$\$/$/g')
starts() {
  got=$(env -i HOME="$work/home" PATH="$work/bin:/usr/bin:/bin" sh -c "eval \"\$1\"" sh "$command")
  [ "$got" = "watch -o $1" ] && [ -d "$1" ] || { echo "FAILED: the unit started kavrin-cli $got, not into $1"; exit 1; }
}
starts "$work/home/Documents/Kavrin"
echo 'XDG_DOCUMENTS_DIR="$HOME/Dokumente"' >"$work/home/.config/user-dirs.dirs"
starts "$work/home/Dokumente/Kavrin"
echo "ok the unit starts kavrin-cli watch into the Documents folder"

ln -sf "$cli" "$work/bin/kavrin-cli"
# exec all the way down, as systemd runs it: the signals below reach kavrin-cli itself.
env -i HOME="$work/home" XDG_DATA_HOME="$work/data" PATH="$work/bin:/usr/bin:/bin" \
  sh -c "eval exec \"\$1\"" sh "$command" >"$work/out" 2>"$work/err" &
watch=$!
for _ in $(seq 100); do grep -q '^kavrin-cli: watching for readers plugged in$' "$work/err" && break; sleep 0.1; done
grep -q '^kavrin-cli: watching for readers plugged in$' "$work/err" || {
  kill -KILL $watch
  echo "FAILED: the unit's kavrin-cli watch did not say it is watching: $(cat "$work/err")"
  exit 1
}
kill -TERM $watch
status=0
wait $watch || status=$?
[ $status -eq 143 ] || { echo "FAILED: SIGTERM ended the watch with $status, not by the signal: $(cat "$work/err")"; exit 1; }
echo "ok the unit's kavrin-cli watch says it is watching at once and ends by SIGTERM"
