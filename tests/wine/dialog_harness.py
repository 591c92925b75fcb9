"""End-to-end tests of Kavrin.exe: the real program under Wine and Xvfb,
driven from outside by the window driver (driver/) as a person would, with
virtual readers (kavrin-sim) behind Wine's COM ports.

A case is a method of a DialogTest subclass in a file dialog_*_test.py:

    def test_connect_shows_the_version(self):
        self.reader("COM1", "--firmware-version", "2.10")
        self.start()
        self.press("Connect")
        self.assertEqual(self.log(), ["CommPort open success!", "Reader firmvare version:2.10"])

run_dialog_tests.py sets up the Wine session once per run: COM1 to COM18
and COM23 point at fixed paths in a private folder, and a reader made for a
case puts its port's link at that path, so no case needs to restart Wine.
"""

import json
import os
import shutil
import subprocess
import tempfile
import time
import unittest

import wine_env

BUTTONS = {
    "Connect": 1001, "Browse": 1004, "Upgrade": 1005, "Get Cnt": 1008, "Delete All": 1009,
    "Get Data": 1010, "Sync Time": 1012, "Set": 1016, "Get": 1017,
}
FIELDS = {"Records Cnt": 1011, "Auto PwrDwn Time": 1015}
PORT_LIST, FILE_LIST, PROGRESS, LOG_LIST = 1000, 1003, 1006, 1007
CONTROLS = dict(BUTTONS, **FIELDS, **{"port list": PORT_LIST, "file list": FILE_LIST, "progress": PROGRESS,
                                       "log": LOG_LIST, "window": 0})
OK, CANCEL, YES, NO = 1, 2, 6, 7

# The name under which a case lists COM23 in SERIALCOMM as a Bluetooth link.
BLUETOOTH_ENTRY = "\\Device\\BthModem0"
# Every case starts with SERIALCOMM as Wine made it.
PLANTS = wine_env.RegistryPlants([
    "[%s]" % wine_env.SERIALCOMM, wine_env.reg_value(BLUETOOTH_ENTRY, None),
    wine_env.reg_value(wine_env.serialcomm_entry(wine_env.LISTED_PORT), "COM%d" % wine_env.LISTED_PORT)])

# How long a handler may take before a case fails: far above any port time-out.
HANDLER_TIMEOUT = 120.0
START_TIMEOUT_MS = 60000


class Session:
    """What every case shares: set by run_dialog_tests.py."""
    sim = kavrin = records = artifacts = links = None
    wine_log = None     # what Wine and the programs under it print
    env = None          # the Wine environment, DISPLAY included
    display = None
    driver = None       # the Driver


class DriverError(AssertionError):
    pass


class Driver:
    """The window driver (driver/window_driver.cpp): one command a line, one JSON answer a line."""

    def __init__(self, exe, env, log):
        self.proc = subprocess.Popen(wine_env.wine_command("wine", exe), env=env, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=log, text=True, encoding="utf-8", bufsize=1)

    def __call__(self, *words):
        line = " ".join(str(w) for w in words)
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        answer = self.proc.stdout.readline()
        if not answer:
            raise DriverError("window driver ended during: " + line)
        reply = json.loads(answer)
        if not reply.pop("ok"):
            raise DriverError("%s: %s" % (line, reply["error"]))
        return reply

    def stop(self):
        self.proc.stdin.close()
        try:
            self.proc.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


def frame(command, *data):
    """A request as the reader receives it, in the control channel's hex."""
    body = [0x0A, 0xFF, len(data) + 2, command, *data]
    return " ".join("%02X" % b for b in body + [-sum(body) % 256])


def port_number(port):
    return int(str(port).upper().removeprefix("COM").rstrip(":"))


class DialogTest(unittest.TestCase):
    """One Kavrin.exe per case, started by start() once the readers are set up."""

    def setUp(self):
        PLANTS.restore(Session.env)
        self.driver = Session.driver
        self.readers = {}
        self.held = []
        self.app = None
        self.workdir = tempfile.mkdtemp(prefix="case-", dir=Session.artifacts)

    def tearDown(self):
        if self.app and self.app.poll() is None:
            if self.settle(5.0)["state"] != "closed":
                self.driver("close")
            try:
                self.app.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.app.kill()
                self.app.wait()
        for fd in self.held:
            os.close(fd)
        for sim in self.readers.values():
            sim.stop()
        shutil.rmtree(self.workdir, ignore_errors=True)

    # ---- set-up ---------------------------------------------------------------

    def reader(self, port, *sim_args):
        """A virtual reader on COMn (kavrin-sim options as given); its control
        channel is the returned object's command()."""
        n = port_number(port)
        sim = wine_env.Sim(Session.sim, os.path.join(Session.links, "com%d" % n), *sim_args)
        self.readers[n] = sim
        return sim

    def plant(self, lines):
        """Registry state for this case alone (registry file lines)."""
        PLANTS.plant(Session.env, lines)

    def hold(self, port):
        """A reader on COMn whose port another program holds open exclusively."""
        sim = self.reader(port)
        self.held.append(wine_env.hold_exclusively(sim.path))
        return sim

    def start(self):
        """Starts Kavrin.exe (working folder: self.workdir) and waits for its window."""
        self.app = subprocess.Popen(wine_env.wine_command("wine", Session.kavrin), env=Session.env,
                                    cwd=self.workdir, stdout=Session.wine_log, stderr=Session.wine_log)
        self.driver("find", START_TIMEOUT_MS)

    # ---- acting ---------------------------------------------------------------

    def press(self, button):
        """Clicks a button and waits until its handler has returned or shows a
        dialog. Gives the driver's state: idle, popup (with caption and text) or closed."""
        self.driver("press", BUTTONS[button])
        state = self.settle(HANDLER_TIMEOUT)
        if state["state"] == "busy":
            self.fail("%s still running after %.0f s" % (button, HANDLER_TIMEOUT))
        return state

    def connect(self, reader):
        """Connects to the reader and forgets what connecting sent it."""
        self.press("Connect")
        self.assertEqual(self.text("Connect"), "Discon")
        reader.command("clear-received")

    def settle(self, seconds):
        return self.driver("settle", int(seconds * 1000))

    def choose_port(self, name):
        """Picks an entry of the port list, as a click in its drop-down would."""
        items, _ = self.ports()
        self.assertIn(name, items)
        self.driver("select", PORT_LIST, items.index(name))

    def type_into(self, field, text):
        self.driver("settext", FIELDS[field], text)

    def press_enter(self, field):
        """Enter, typed with the focus on a field."""
        self.driver("enter", FIELDS[field])

    def close_window(self):
        self.driver("close")

    def answer_message_box(self, button=OK):
        """Presses OK (or another button) in the message box showing now, lets the
        handler go on, and gives the box's text."""
        box = self.wait_for_popup()
        self.assertTrue(box["message"], "a dialog that is no message box: %s" % box)
        self.assertEqual(box["caption"], "Kavrin")
        self.driver("popup-press", button)
        self.settle(HANDLER_TIMEOUT)
        return box["text"]

    def wait_for_popup(self, seconds=10.0):
        deadline = time.monotonic() + seconds
        while True:
            state = self.settle(0.2)
            if state["state"] == "popup":
                return state
            if time.monotonic() > deadline:
                self.fail("no dialog showing; the window is %s" % state["state"])

    def wait_for_exit(self, seconds=20.0):
        """True when Kavrin.exe ended within `seconds`."""
        try:
            self.app.wait(timeout=seconds)
            return True
        except subprocess.TimeoutExpired:
            return False

    # ---- reading --------------------------------------------------------------

    def log(self):
        return self.driver("items", LOG_LIST)["items"]

    def ports(self):
        """The port list's entries and the one selected (None when none is)."""
        reply = self.driver("items", PORT_LIST)
        items, selected = reply["items"], reply["selected"]
        return items, items[selected] if selected >= 0 else None

    def progress(self):
        """The progress bar's position."""
        return self.driver("position", PROGRESS)["value"]

    def text(self, control):
        return self.driver("text", CONTROLS[control])["value"]

    def enabled(self, control):
        return self.driver("enabled", CONTROLS[control])["value"]

    def message_box(self):
        """The dialog showing over the window, or None."""
        state = self.settle(0.2)
        return state if state["state"] == "popup" else None

    def window_open(self):
        return self.settle(0.2)["state"] != "closed"

    def port_in_use(self, sim):
        """Whether any program other than the reader itself has its port open."""
        target = os.path.realpath(sim.path)
        for pid in filter(str.isdigit, os.listdir("/proc")):
            if int(pid) == sim.proc.pid:
                continue
            try:
                fds = os.listdir("/proc/%s/fd" % pid)
            except OSError:
                continue
            for fd in fds:
                try:
                    if os.readlink("/proc/%s/fd/%s" % (pid, fd)) == target:
                        return True
                except OSError:
                    pass
        return False

    def grab_command(self, control):
        """The command that grabs what the screen shows of a control; add the output."""
        r = self.driver("rect", CONTROLS[control])
        return ["import", "-display", Session.display, "-window", "root",
                "-crop", "%dx%d+%d+%d" % (r["w"], r["h"], max(r["x"], 0), max(r["y"], 0)), "+repage"]

    def pixels(self, control):
        """What the screen shows of a control now, as raw RGB: it need not be idle."""
        return subprocess.run(self.grab_command(control) + ["rgb:-"], check=True, capture_output=True,
                              timeout=60).stdout

    def screenshot(self, name):
        """The window once its painting has settled, kept as <artifacts>/<name>.png.

        Settled: a grab looks like one of the few before it (a blinking caret
        alternates between two looks)."""
        recent, deadline = [], time.monotonic() + 10
        while time.monotonic() < deadline:
            shown = self.pixels("window")
            if shown in recent:
                break
            recent = recent[-2:] + [shown]
            time.sleep(0.2)
        path = os.path.join(Session.artifacts, name + ".png")
        subprocess.run(self.grab_command("window") + [path], check=True, timeout=60)
        return path
