#!/usr/bin/env python3
"""The window's picture for the docs; run by scripts/screenshot.sh.

usage: screenshot.py BUILD_DIR OUT_PNG
"""
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "qt"))
from gui_accessibility_test import find, log_lines, press, running_window, wait_for  # noqa: E402

import pyatspi  # noqa: E402


def main():
    build, out = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    with running_window(build / "qt" / "kavrin-gui", build / "kavrin-sim", 40) as (app, display, _):
        press(app, "Connect")
        wait_for("the connection", lambda: len(log_lines(app)) == 2)
        press(app, "Get Cnt")
        wait_for("the count", lambda: len(log_lines(app)) == 3)
        press(app, "Get Data")
        wait_for("the message box", lambda: find(app, pyatspi.ROLE_LABEL, "Data has been saved!"))
        press(app, "OK")
        wait_for("the book's and the file's lines", lambda: len(log_lines(app)) == 5)
        window = subprocess.run(["xwininfo", "-display", display, "-name", "Kavrin"], check=True,
                                capture_output=True, text=True).stdout
        window_id = next(line.split()[3] for line in window.splitlines() if "Window id:" in line)
        subprocess.run(["import", "-display", display, "-window", window_id, out], check=True)
    print(out)


if __name__ == "__main__":
    main()
