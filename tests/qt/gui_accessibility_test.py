#!/usr/bin/env python3
"""kavrin-gui end to end, the way a screen reader sees it.

The real program runs under Xvfb against kavrin-sim, with accessibility on
and a private D-Bus session (run this under dbus-run-session). Buttons are
found by their names and pressed through AT-SPI actions, the message boxes
and Qt's own file dialogs are answered the same way, and the log list, the
records table and the dialogs' lists are read back. After Get Data: a bad
animal list is refused line by line, a good one feeds a NAIT file saved from
the records shown, and a tag typed in another printed form is found. A
combo box's choice alone is made with keys (see choose). What was written
is read back from the disk.

usage: gui_accessibility_test.py KAVRIN_GUI KAVRIN_SIM
"""
import contextlib
import csv
import datetime
import os
import socket
import sqlite3
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import pyatspi
from gi.repository import GLib

RECORDS = 30
BOUND = 30.0  # seconds: generous, for a loaded machine
DOWN = 0xFF54  # the Down key's keysym


def wait_for(what, probe):
    end = time.monotonic() + BOUND
    while time.monotonic() < end:
        try:
            found = probe()
        except GLib.GError:
            # A window closing while its tree is read (a dialog gone after its answer): look again.
            found = None
        if found:
            return found
        time.sleep(0.1)
    raise AssertionError(f"timed out waiting for {what}")


def descendants(node):
    """Every node below `node`, but a table's cells: those are read through
    its table interface, and walking them while its rows change only makes
    Qt complain."""
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        if child.getRole() != pyatspi.ROLE_TABLE:
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
    # As a user can: a button in sight, one a hidden tab holds is not.
    wait_for(f'"{name}" in sight and enabled', lambda: all(button.getState().contains(state)
                                                          for state in (pyatspi.STATE_SHOWING, pyatspi.STATE_ENABLED)))
    button.queryAction().doAction(0)


def log_lines(app):
    log = find(app, pyatspi.ROLE_LIST, "Log")
    if log is None:
        return []
    return [log.getChildAtIndex(i).name for i in range(log.childCount)]


def records_table(app, rows):
    """The table once it holds `rows` rows, and its table interface."""
    for node in descendants(app):
        if node.getRole() != pyatspi.ROLE_TABLE:
            continue
        table = node.queryTable()
        if table.nColumns > 0 and table.getColumnDescription(0) == "Row" and table.nRows == rows:
            return node, table
    return None


def top_window(app, role, title, holding=None):
    """A window of the program (a dialog, a message box) by its title, and,
    where two share a title, by a control it holds."""
    for i in range(app.childCount):
        node = app.getChildAtIndex(i)
        if node is not None and node.getRole() == role and node.name == title:
            if holding is None or find(node, None, holding) is not None:
                return node
    return None


def wait_window(app, role, title, holding=None):
    return wait_for(f'the window "{title}"', lambda: top_window(app, role, title, holding))


def labels(node):
    return [child.name for child in descendants(node) if child.getRole() == pyatspi.ROLE_LABEL and child.name]


def message(app, title):
    """The texts of the message box `title`, answered with OK."""
    box = wait_window(app, pyatspi.ROLE_ALERT, title)
    texts = labels(box)
    press(box, "OK")
    wait_for(f'"{title}" closed', lambda: top_window(app, pyatspi.ROLE_ALERT, title) is None)
    return texts


def type_into(root, name, text):
    field = wait_for(f'the field "{name}"', lambda: find(root, pyatspi.ROLE_TEXT, name))
    field.queryEditableText().setTextContents(text)
    wait_for(f'"{text}" in "{name}"', lambda: field.queryText().getText(0, -1) == text)


def answer_file_dialog(app, title, button, path):
    """Qt's own file dialog: the file's name typed, then Open or Save."""
    dialog = wait_window(app, pyatspi.ROLE_DIALOG, title, holding="File name:")
    type_into(dialog, "File name:", str(path))
    press(dialog, button)


def show_tab(app, name):
    """The tab `name` brought to the front: what it holds can be pressed then."""
    tab = wait_for(f'the tab "{name}"', lambda: find(app, pyatspi.ROLE_PAGE_TAB, name))
    tab.queryAction().doAction(0)


def labelled(root, role, label):
    """The control the label `label` names (a combo box is named by its choice)."""
    for node in descendants(root):
        if node.getRole() != role:
            continue
        for relation in node.getRelationSet():
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and \
                    any(relation.getTarget(i).name == label for i in range(relation.getNTargets())):
                return node
    return None


def choose(combo, item):
    """Qt commits a combo box's choice only from a click or a key: selecting
    its list's item through AT-SPI leaves the box as it was. So the box
    takes the focus and the Down key until it shows `item`."""
    items = [node.name for node in descendants(combo) if node.getRole() == pyatspi.ROLE_LIST_ITEM]
    assert item in items, items
    combo.queryComponent().grabFocus()
    wait_for("the combo box focused", lambda: combo.getState().contains(pyatspi.STATE_FOCUSED))
    for _ in items:
        if combo.name == item:
            return
        shown = combo.name
        pyatspi.Registry.generateKeyboardEvent(DOWN, None, pyatspi.KEY_SYM)
        wait_for(f'the combo box past "{shown}"', lambda: combo.name != shown)
    assert combo.name == item, combo.name


def spaced(country, national):
    return f"{int(country):03d} {int(national):012d}"


def eid16(country, national):
    return f"{int(country):04d}{int(national):012d}"


def book_file(work):
    """The record book, in the folder the file dialogs list: a dialog that
    read its files to tell their types would drop the book's locks, and the
    next process to open it (this test's sqlite3) would take its last writes."""
    return Path(work) / "records.db"


def book_count(work, table):
    with contextlib.closing(sqlite3.connect(book_file(work))) as book:
        return book.execute(f"SELECT count(*) FROM {table}").fetchone()[0]


def extents(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.x + box.width


def start_xvfb():
    """Xvfb on a free display, once it takes connections; the process and ":N"."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=(write_end,))
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    assert number, f"Xvfb did not start (exit status {xvfb.poll()})"

    def accepts():
        with socket.socket(socket.AF_UNIX) as client:
            return client.connect_ex(f"/tmp/.X11-unix/X{number}") == 0
    wait_for(f"Xvfb taking connections on :{number}", accepts)
    return xvfb, ":" + number


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
            # The registry, started with the accessibility bus on first use,
            # sends the keys it is asked for to this display.
            subprocess.run(["dbus-update-activation-environment", f"DISPLAY={display}"], check=True)
            link = Path(work) / "reader"
            children.append(subprocess.Popen([sim, "--records", str(records), "--link", str(link)],
                                             stdout=subprocess.DEVNULL))
            wait_for("the virtual reader", link.exists)
            env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
            children.append(subprocess.Popen([gui, "--port", str(link), "--book", str(book_file(work))],
                                             cwd=work, env=env))
            program = children[-1]

            def started():
                assert program.poll() is None, f"kavrin-gui ended at its start with status {program.returncode}"
                return application("kavrin-gui")
            app = wait_for("kavrin-gui on the accessibility bus", started)
            yield app, display, work
    finally:
        for child in reversed(children):
            child.terminate()
            child.wait()


def get_data(app, work):
    """Connect, Get Data, Discon: the download's file, its rows as text."""
    press(app, "Connect")
    wait_for("the version line", lambda: "Reader firmvare version:1.0" in log_lines(app))
    press(app, "Get Data")
    saved = message(app, "Kavrin")
    print("message:", saved)
    assert saved == ["Data has been saved!"], saved

    files = wait_for("a CSV file", lambda: sorted(Path(work).glob("*.csv")))
    wait_for("the file's line in the log", lambda: len(log_lines(app)) == 4)
    expected = ["CommPort open success!", "Reader firmvare version:1.0",
                f"record book: download 1, {RECORDS} records, {RECORDS} new", str(files[0])]
    actual = log_lines(app)
    print("log:", actual)
    assert actual == expected, actual
    # The port read is the port connected to: once the work has ended,
    # the list still cannot change while connected.
    get_cnt = find(app, pyatspi.ROLE_PUSH_BUTTON, "Get Cnt")
    wait_for("the work to end", lambda: get_cnt.getState().contains(pyatspi.STATE_ENABLED))
    port_box = next(node for node in descendants(app) if node.getRole() == pyatspi.ROLE_COMBO_BOX)
    assert not port_box.getState().contains(pyatspi.STATE_ENABLED), "the port list is locked while connected"
    rows = files[0].read_bytes().split(b"\r\n")
    assert len(rows) == RECORDS + 2 and rows[-1] == b"", len(rows)
    with contextlib.closing(sqlite3.connect(book_file(work))) as book:
        ports = [row[0] for row in book.execute("SELECT port FROM downloads")]
    assert ports == [str(Path(work) / "reader")], ports

    press(app, "Discon")
    wait_for("the port list unlocked", lambda: port_box.getState().contains(pyatspi.STATE_ENABLED))
    return [row.decode().split(",") for row in rows[1:-1]]


def check_download_shown(app, window, reads):
    """The table shows the file's rows, the tag in sight beside row, type and country."""
    node, table = wait_for("the records table's rows", lambda: records_table(app, RECORDS))
    headings = [table.getColumnDescription(column) for column in range(4)]
    assert headings == ["Row", "Type", "Country", "Tag"], headings
    first = [table.getAccessibleAt(0, column).name for column in range(4)]
    print("first row:", first)
    assert first == reads[0][:4], first
    tag_left, tag_right = extents(table.getAccessibleAt(0, 3))
    table_left, table_right = extents(node)
    _, window_right = extents(window)
    assert table_left <= tag_left and tag_right <= min(table_right, window_right), \
        (tag_left, tag_right, table_left, table_right, window_right)


def import_animals(app, path):
    show_tab(app, "Animals")
    press(app, "Import Animals...")
    answer_file_dialog(app, "Import Animals", "Open", path)


def refuse_bad_animal_list(app, work, reads):
    """A list with a number a spreadsheet made of a tag and a tag given twice
    (in two printed forms) is refused whole, each bad line named."""
    _, _, country, national = reads[0][:4]
    path = Path(work) / "bad animals.csv"
    path.write_text("tag,visual tag,group\n"
                    f"{spaced(country, national)},A1,heifers\n"
                    "9.82E+14,A2,heifers\n"
                    f"{eid16(country, national)},A3,heifers\n")
    import_animals(app, path)
    report = wait_window(app, pyatspi.ROLE_DIALOG, "Import Animals", holding="Bad lines")
    summary = labels(report)
    print("refused:", summary)
    assert summary == [f"Nothing was imported from {path}: 2 bad lines. Mend them in the file and import it again."], \
        summary
    bad = find(report, pyatspi.ROLE_LIST, "Bad lines")
    lines = [bad.getChildAtIndex(i).name for i in range(bad.childCount)]
    print("bad lines:", lines)
    assert len(lines) == 2, lines
    assert lines[0].startswith('Line 3: tag "9.82E+14": '), lines
    assert lines[1] == f'Line 4: tag "{eid16(country, national)}" is on line 2 already', lines
    press(report, "OK")
    wait_for("the report closed", lambda: top_window(app, pyatspi.ROLE_DIALOG, "Import Animals") is None)
    assert book_count(work, "animals") == 0, "a refused list leaves no animal in the book"


def fill_save_as(app, format_shown, fields):
    dialog = wait_window(app, pyatspi.ROLE_DIALOG, "Save As", holding="Sending NAIT number")
    choose(labelled(dialog, pyatspi.ROLE_COMBO_BOX, "Format"), format_shown)
    for name, text in fields.items():
        type_into(dialog, name, text)
    return dialog


def save_nait_file(app, work, reads, known):
    """A good list gives the read `known` a visual tag; Save As refuses a
    NAIT number that is no number before any file exists, then writes each
    tag read once."""
    _, _, country, national = known[:4]
    animals = Path(work) / "animals.csv"
    animals.write_text(f"tag,visual tag,group\n{spaced(country, national)},V17,heifers\n982 000000000001,V99,heifers\n")
    import_animals(app, animals)
    print("imported:", message(app, "Import Animals"))
    assert book_count(work, "animals") == 2, "both animals in the book"

    show_tab(app, "Records")
    wait_for("the download shown", lambda: records_table(app, RECORDS))
    press(app, "Save As...")
    before = sorted(Path(work).iterdir())
    today = datetime.date.today()
    sent, received = today - datetime.timedelta(days=1), today
    dialog = fill_save_as(app, "NAIT movement file (New Zealand)",
                          {"Sending NAIT number": "farm one", "Receiving NAIT number": "4567",
                           "Date sent": sent.isoformat(), "Date received": received.isoformat()})
    press(dialog, "Save...")
    refusal = message(app, "Save As")
    print("refused:", refusal)
    assert len(refusal) == 1 and refusal[0].startswith("Sending NAIT number"), refusal
    assert sorted(Path(work).iterdir()) == before, "a refused Save As writes nothing"

    type_into(dialog, "Sending NAIT number", "1234")
    press(dialog, "Save...")
    target = Path(work) / "moves.csv"
    answer_file_dialog(app, "Save As", "Save", target)
    saved = message(app, "Save As")
    print("saved:", saved)
    assert saved == [f"{RECORDS} reads saved in {target}."], saved

    with open(target, newline="") as file:
        rows = list(csv.reader(file))
    assert rows[0] == ["Sending NAIT Number", "Receiving NAIT Number", "NAIT RFID", "NAIT Visual Tag Number",
                       "External Record ID", "Date Sent", "Date Received"], rows[0]
    tags = {spaced(read[2], read[3]) for read in reads}
    assert sorted(row[2] for row in rows[1:]) == sorted(tags), rows
    visual = {row[2]: row[3] for row in rows[1:]}
    assert visual.pop(spaced(country, national)) == "V17", rows
    assert set(visual.values()) == {""}, rows
    dmy = "%d/%m/%Y"
    assert {tuple(row[:2] + row[5:]) for row in rows[1:]} == \
        {("1234", "4567", sent.strftime(dmy), received.strftime(dmy))}, rows


def find_tag(app, known):
    """The tag of the read `known`, typed in its 16-digit form, finds that one
    read, titled in the spaced form and beside its animal's visual tag."""
    _, kind, country, national = known[:4]
    type_into(app, "Find Tag", eid16(country, national))
    press(app, "Find Tag")
    title = f"Every read of {spaced(country, national)}: 1"
    wait_for(f'the title "{title}"', lambda: find(app, pyatspi.ROLE_LABEL, title))
    _, table = wait_for("the tag's one read", lambda: records_table(app, 1))
    headings = [table.getColumnDescription(column) for column in range(table.nColumns)]
    found = dict(zip(headings, (table.getAccessibleAt(0, column).name for column in range(table.nColumns))))
    print("found:", title, found)
    assert (found["Type"], found["Country"], found["Tag"], found["Visual"]) == (kind, country, national, "V17"), found


def main():
    gui, sim = sys.argv[1], sys.argv[2]
    with running_window(gui, sim, RECORDS) as (app, _, work):
        window = wait_for('the window "Kavrin"', lambda: find(app, None, "Kavrin"))
        print("found", window.name)
        reads = get_data(app, work)
        check_download_shown(app, window, reads)
        refuse_bad_animal_list(app, work, reads)
        # An HDX read: the file writes its national number shorter than twelve digits.
        known = next(read for read in reads if read[1] == "HDX")
        save_nait_file(app, work, reads, known)
        find_tag(app, known)


if __name__ == "__main__":
    main()
