#!/usr/bin/env bash
# Takes docs/kavrin-gui.png: kavrin-gui under Xvfb against a virtual reader
# with 40 records, after Connect, Get Cnt and Get Data (pressed through the
# accessibility interface). Needs build/linux (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
exec dbus-run-session -- /usr/bin/python3 scripts/screenshot.py build/linux docs/kavrin-gui.png
