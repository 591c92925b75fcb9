"""End-to-end tests of Kavrin Records beside Kavrin.exe: both real programs
under Wine and Xvfb, driven by the window driver, with the record book where
a Windows user has it (%LOCALAPPDATA%\\Kavrin\\records.db in the prefix).

A case is a method of a RecordsTest subclass in a file records_*_test.py,
run by run_dialog_tests.py with --records and --cases records_*_test.py.
Each case starts without a book; the session starts with KeepBook on.
The driver speaks to one program's window at a time: records() and
kavrin() turn it to each.
"""

import getpass
import os
import shutil
import subprocess
import time

import wine_env
from dialog_harness import HANDLER_TIMEOUT, START_TIMEOUT_MS, DialogTest, Session

TITLE = "Kavrin Records"
DOWNLOADS, SHOWN, SHOWN_LABEL, BOOK_STATUS = 1101, 1119, 1118, 1123
FIND_TEXT, FIND, ANIMALS, IMPORT_ANIMALS, SAVE_AS, KEEP_BOOK = 1108, 1109, 1112, 1115, 1120, 1122
SAVE_FORMAT, SAVE_SENDING, SAVE_RECEIVING, SAVE_FILE = 1200, 1204, 1205, 1212
REPORT_LINES = 1301
FORMATS = ["csv", "xlsx", "jsonl", "nait", "nlis"]
OK = 1
# The file name box of Wine's file dialogs.
FILE_NAME_BOX = 1148
# How long the window may take to show what the book's worker found.
SHOW_TIMEOUT = 30.0


def windows_path(path):
    """The path as a Windows program under Wine names it."""
    return "Z:" + os.path.realpath(path).replace("/", "\\")


class RecordsTest(DialogTest):

    def setUp(self):
        super().setUp()
        self.records_app = None
        shutil.rmtree(os.path.dirname(self.book_path()), ignore_errors=True)

    def tearDown(self):
        if self.records_app and self.records_app.poll() is None:
            self.records()
            self.driver("close")
            try:
                self.records_app.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.records_app.kill()
                self.records_app.wait()
        if self.app and self.app.poll() is None:
            self.driver("find", START_TIMEOUT_MS)
        super().tearDown()

    def book_path(self):
        return os.path.join(Session.env["WINEPREFIX"], "drive_c", "users", getpass.getuser(), "AppData", "Local",
                            "Kavrin", "records.db")

    # ---- the two programs -----------------------------------------------------

    def start_records(self):
        self.records_app = subprocess.Popen(wine_env.wine_command("wine", Session.records), env=Session.env,
                                            cwd=self.workdir, stdout=Session.wine_log, stderr=Session.wine_log)
        self.records()

    def records(self):
        """The driver speaks to Kavrin Records from now on."""
        self.driver("find-titled", START_TIMEOUT_MS, TITLE)

    def kavrin(self):
        """The driver speaks to Kavrin.exe from now on."""
        self.driver("find", START_TIMEOUT_MS)

    def get_data(self):
        """Get Data in Kavrin.exe, connected; gives the texts of the message boxes it showed."""
        self.kavrin()
        self.assertEqual(self.press("Get Data")["state"], "popup")
        texts = []
        while self.message_box():
            texts.append(self.answer_message_box())
        return texts

    # ---- Kavrin Records -------------------------------------------------------

    def click(self, control):
        """Clicks a control of the window's (a button, the check box); gives the driver's state after."""
        self.driver("press", control)
        return self.settle(HANDLER_TIMEOUT)

    def rows(self, control=SHOWN):
        return self.driver("rows", control)

    def wait_for(self, what, probe, seconds=SHOW_TIMEOUT):
        """Waits until probe() gives something true, and gives it."""
        deadline = time.monotonic() + seconds
        while True:
            found = probe()
            if found:
                return found
            if time.monotonic() > deadline:
                self.fail("%s did not come within %.0f s" % (what, seconds))
            time.sleep(0.2)

    def wait_for_text(self, control, start):
        """The control's text once it starts with `start`."""
        def shown():
            text = self.driver("text", control)["value"]
            return text if text.startswith(start) else None
        return self.wait_for("a text starting %r" % start, shown)

    def wait_for_rows(self, count, control=SHOWN):
        """The list's headings and rows once it has `count` rows."""
        def listed():
            reply = self.rows(control)
            return reply if len(reply["rows"]) == count else None
        return self.wait_for("%d rows" % count, listed)

    def answer(self, button=OK):
        """Presses a button of Kavrin Records' message box showing now; gives its text."""
        box = self.wait_for_popup(SHOW_TIMEOUT)
        self.assertTrue(box["message"], "a dialog that is no message box: %s" % box)
        self.assertEqual(box["caption"], TITLE)
        self.driver("popup-press", button)
        return box["text"]
