#!/usr/bin/env python3
"""kavrin-gui end to end, the way a screen reader sees it.

The real program runs under Xvfb against kavrin-sim, with accessibility on
and a private D-Bus session (run this under dbus-run-session). Buttons are
found by their names and pressed through AT-SPI actions, the message box is
answered the same way, and the log list and the records table are read back.

usage: gui_accessibility_test.py KAVRIN_GUI KAVRIN_SIM
"""
import contextlib
import os
import sqlite3
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import pyatspi

RECORDS = 30
BOUND = 30.0  # seconds: generous, for a loaded machine


def wait_for(what, probe):
    end = time.monotonic() + BOUND
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    raise AssertionError(f"timed out waiting for {what}")


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find(root, role, name):
    for node in descendants(root):
        if (role is None or node.getRole() == role) and node.name == name:
            return node
    return None


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def press(root, name):
    button = wait_for(f'button "{name}"', lambda: find(root, pyatspi.ROLE_PUSH_BUTTON, name))
    wait_for(f'"{name}" enabled', lambda: button.getState().contains(pyatspi.STATE_ENABLED))
    button.queryAction().doAction(0)


def log_lines(app):
    log = find(app, pyatspi.ROLE_LIST, "Log")
    if log is None:
        return []
    return [log.getChildAtIndex(i).name for i in range(log.childCount)]


def records_table(app, rows):
    """The table once it holds `rows` rows, and its table interface."""
    for node in descendants(app):
        if node.getRole() == pyatspi.ROLE_TABLE and node.queryTable().nRows == rows:
            return node, node.queryTable()
    return None


def extents(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.x + box.width


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        display = pipe.readline().strip()
    return xvfb, ":" + display


@contextlib.contextmanager
def running_window(gui, sim, records):
    """kavrin-gui on a fresh Xvfb display, its port a virtual reader holding
    `records`, in a working folder of its own. Gives the program as AT-SPI
    sees it, the display and the folder; ends all of it afterwards."""
    children = []
    try:
        with tempfile.TemporaryDirectory() as work:
            xvfb, display = start_xvfb()
            children.append(xvfb)
            link = Path(work) / "reader"
            children.append(subprocess.Popen([sim, "--records", str(records), "--link", str(link)],
                                             stdout=subprocess.DEVNULL))
            wait_for("the virtual reader", link.exists)
            env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
            children.append(subprocess.Popen([gui, "--port", str(link), "--book", str(Path(work) / "records.db")],
                                             cwd=work, env=env))
            app = wait_for("kavrin-gui on the accessibility bus", lambda: application("kavrin-gui"))
            yield app, display, work
    finally:
        for child in reversed(children):
            child.terminate()
            child.wait()


def main():
    gui, sim = sys.argv[1], sys.argv[2]
    with running_window(gui, sim, RECORDS) as (app, _, work):
        window = wait_for('the window "Kavrin"', lambda: find(app, None, "Kavrin"))
        print("found", window.name)

        press(app, "Connect")
        wait_for("the version line", lambda: "Reader firmvare version:1.0" in log_lines(app))
        press(app, "Get Data")
        message = wait_for("the message box",
                           lambda: find(app, pyatspi.ROLE_LABEL, "Data has been saved!"))
        print("message:", message.name)
        press(app, "OK")

        csv = wait_for("a CSV file", lambda: sorted(Path(work).glob("*.csv")))
        wait_for("the file's line in the log", lambda: len(log_lines(app)) == 4)
        expected = ["CommPort open success!", "Reader firmvare version:1.0",
                    f"record book: download 1, {RECORDS} records, {RECORDS} new", str(csv[0])]
        actual = log_lines(app)
        print("log:", actual)
        assert actual == expected, actual
        # The port read is the port connected to: once the work has ended,
        # the list still cannot change while connected.
        get_cnt = find(app, pyatspi.ROLE_PUSH_BUTTON, "Get Cnt")
        wait_for("the work to end", lambda: get_cnt.getState().contains(pyatspi.STATE_ENABLED))
        port_box = next(node for node in descendants(app) if node.getRole() == pyatspi.ROLE_COMBO_BOX)
        assert not port_box.getState().contains(pyatspi.STATE_ENABLED), "the port list is locked while connected"
        rows = csv[0].read_bytes().split(b"\r\n")
        assert len(rows) == RECORDS + 2 and rows[-1] == b"", len(rows)
        with contextlib.closing(sqlite3.connect(Path(work) / "records.db")) as book:
            ports = [row[0] for row in book.execute("SELECT port FROM downloads")]
        assert ports == [str(Path(work) / "reader")], ports

        press(app, "Discon")
        wait_for("the port list unlocked", lambda: port_box.getState().contains(pyatspi.STATE_ENABLED))

        # The table shows the file's rows, the tag in sight beside row, type and country.
        node, table = wait_for("the records table's rows", lambda: records_table(app, RECORDS))
        headings = [table.getColumnDescription(column) for column in range(4)]
        assert headings == ["Row", "Type", "Country", "Tag"], headings
        first = [table.getAccessibleAt(0, column).name for column in range(4)]
        print("first row:", first)
        assert first == rows[1].decode().split(",")[:4], first
        tag_left, tag_right = extents(table.getAccessibleAt(0, 3))
        table_left, table_right = extents(node)
        _, window_right = extents(window)
        assert table_left <= tag_left and tag_right <= min(table_right, window_right), \
            (tag_left, tag_right, table_left, table_right, window_right)


if __name__ == "__main__":
    main()
