"""The main window: its controls, the ports it lists, its fields, and how it closes."""

import ctypes
import os
import struct

import wine_env
from dialog_harness import BLUETOOTH_ENTRY, BUTTONS, FIELDS, DialogTest, Session

WS_POPUP, WS_CHILD, WS_VISIBLE, WS_CAPTION = 0x80000000, 0x40000000, 0x10000000, 0x00C00000
WS_BORDER, WS_VSCROLL, WS_SYSMENU, WS_THICKFRAME = 0x00800000, 0x00200000, 0x00080000, 0x00040000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
DS_SETFONT, DS_FIXEDSYS, WS_EX_APPWINDOW = 0x40, 0x8, 0x40000
BS_PUSHBUTTON, BS_GROUPBOX, SS_LEFT, ES_AUTOHSCROLL = 0x0, 0x7, 0x0, 0x80
CBS_DROPDOWN, CBS_SORT, LBS_NOTIFY, LBS_NOINTEGRALHEIGHT = 0x2, 0x100, 0x1, 0x100

COMBO = ("ComboBox", CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP)
LABEL = ("Static", SS_LEFT | WS_GROUP)
PUSH = ("Button", BS_PUSHBUTTON | WS_TABSTOP)
GROUP = ("Button", BS_GROUPBOX)
EDIT = ("Edit", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP)

# In tab order: id (-1: none of its own), class and style beyond child and
# visible, caption, x, y, width, height in dialog units.
TEMPLATE = [
    (1000, COMBO, "", 61, 29, 35, 30),
    (-1, LABEL, "CommPort", 21, 31, 34, 8),
    (1001, PUSH, "Connect", 18, 53, 76, 14),
    (-1, GROUP, "Upgrade", 15, 166, 174, 55),
    (1003, COMBO, "", 46, 177, 93, 12),
    (-1, LABEL, "File", 23, 178, 11, 8),
    (1004, PUSH, "Browse", 146, 176, 36, 14),
    (1005, PUSH, "Upgrade", 147, 200, 35, 14),
    (-1, GROUP, "Comm", 15, 14, 90, 89),
    (1006, ("msctls_progress32", WS_BORDER), "", 25, 203, 114, 8),
    (1007, ("ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP), "", 212, 14, 115, 215),
    (-1, GROUP, "Config", 111, 14, 80, 90),
    (1012, PUSH, "Sync Time", 127, 26, 50, 14),
    (1015, EDIT, "", 125, 68, 28, 14),
    (-1, GROUP, "Record", 14, 106, 175, 52),
    (1009, PUSH, "Delete All", 133, 138, 50, 14),
    (1010, PUSH, "Get Data", 77, 138, 50, 14),
    (1008, PUSH, "Get Cnt", 21, 138, 50, 14),
    (1011, EDIT, "", 69, 122, 39, 13),
    (-1, LABEL, "Records Cnt", 23, 123, 39, 8),
    (-1, LABEL, "Auto PwrDwn Time", 114, 53, 63, 8),
    (-1, LABEL, "min", 159, 70, 12, 8),
    (1016, PUSH, "Set", 151, 85, 28, 14),
    (1017, PUSH, "Get", 120, 85, 28, 14),
]

IN_OPEN, IN_NONBLOCK = 0x20, 0o4000

RANGE_MESSAGE = "Please enter an integer between 1 and 60."
INTEGER_MESSAGE = "Please enter an integer."


class MainWindowTest(DialogTest):

    def test_the_compiled_window_template_has_every_control_in_place(self):
        windows_path = "Z:" + Session.kavrin.replace("/", "\\")
        compiled = self.driver("template", 102, windows_path)
        self.assertEqual(compiled["dialog"], {
            "style": WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT | DS_FIXEDSYS,
            "exstyle": WS_EX_APPWINDOW, "x": 0, "y": 0, "w": 341, "h": 243, "menu": "", "class": "",
            "caption": "Kavrin", "font": "MS Shell Dlg", "points": 9, "weight": 0, "italic": 0, "charset": 1})
        items = [(i["id"], (i["class"].lower(), i["style"] & ~(WS_CHILD | WS_VISIBLE)), i["text"], i["x"], i["y"], i["w"], i["h"])
                 for i in compiled["items"]]
        # Class names are not case-sensitive; resource compilers differ in how they store them.
        self.assertEqual(items, [(i, (cls.lower(), style), *rest) for i, (cls, style), *rest in TEMPLATE])
        for item in compiled["items"]:
            self.assertEqual(item["style"] & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE, item)
            self.assertEqual(item["exstyle"], 0, item)

    def test_lists_the_free_ports_in_text_order_and_selects_the_first(self):
        self.reader("COM1")
        self.hold("COM2")
        self.reader("COM3")
        self.reader("COM12")
        self.start()
        self.assertEqual(self.ports(), (["COM1:", "COM12:", "COM3:"], "COM1:"))

    def test_the_first_port_in_text_order_is_selected(self):
        self.reader("COM3")
        self.reader("COM12")
        self.start()
        self.assertEqual(self.ports(), (["COM12:", "COM3:"], "COM12:"))

    def test_a_port_windows_lists_past_com18_is_offered_selected_and_connects(self):
        self.reader("COM23", "--firmware-version", "2.10")
        self.start()
        self.assertEqual(self.ports(), (["COM23:"], "COM23:"))
        self.press("Connect")
        self.assertEqual(self.log(), ["CommPort open success!", "Reader firmvare version:2.10"])

    def test_a_bluetooth_port_past_com18_is_offered_unopened_and_connects_when_chosen(self):
        sim = self.reader("COM23", "--firmware-version", "2.10")
        watch = OpenWatch(os.path.realpath(sim.path))
        self.addCleanup(watch.close)
        # COM23 as Windows lists a Bluetooth link, in place of Wine's own entry.
        self.plant(["[%s]" % wine_env.SERIALCOMM, wine_env.reg_value(wine_env.serialcomm_entry(23), None),
                    wine_env.reg_value(BLUETOOTH_ENTRY, "COM23")])
        self.start()
        self.assertEqual(self.ports(), (["COM23:"], "COM23:"))
        self.assertEqual(watch.opens(), 0, "the port was opened at start-up")
        self.press("Connect")
        self.assertEqual(self.log(), ["CommPort open success!", "Reader firmvare version:2.10"])
        self.assertGreater(watch.opens(), 0)

    def test_starts_with_zero_records_ten_minutes_and_upgrade_disabled(self):
        self.start()
        self.assertEqual(self.text("Records Cnt"), "0")
        self.assertEqual(self.text("Auto PwrDwn Time"), "10")
        self.assertFalse(self.enabled("Upgrade"))
        self.assertEqual(self.text("window"), "Kavrin")
        for control in [b for b in BUTTONS if b != "Upgrade"] + list(FIELDS) + ["port list", "file list", "log"]:
            self.assertTrue(self.enabled(control), control)
        self.assertEqual(self.log(), [])

    def test_enter_with_a_field_that_fails_its_check_keeps_the_window_open(self):
        self.start()
        cases = [("Auto PwrDwn Time", "61", RANGE_MESSAGE), ("Auto PwrDwn Time", "0", RANGE_MESSAGE),
                 ("Auto PwrDwn Time", "", INTEGER_MESSAGE), ("Records Cnt", "twelve", INTEGER_MESSAGE)]
        for field, typed, message in cases:
            with self.subTest(field=field, typed=typed):
                self.type_into(field, typed)
                self.press_enter(field)
                self.assertEqual(self.answer_message_box(), message)
                self.assertTrue(self.window_open())
                self.assertEqual(self.text(field), typed)
                self.type_into(field, "10")

    def test_enter_with_valid_fields_closes_the_window(self):
        self.start()
        self.type_into("Auto PwrDwn Time", "60")
        self.press_enter("Auto PwrDwn Time")
        self.assertTrue(self.wait_for_exit(), "the window stayed open")

    def test_the_close_box_ends_at_once_without_checking_the_fields(self):
        self.start()
        self.type_into("Auto PwrDwn Time", "61")
        self.close_window()
        self.assertTrue(self.wait_for_exit(), "the window stayed open")


class OpenWatch:
    """Counts the opens of a file as the kernel reports them (inotify)."""

    def __init__(self, path):
        libc = ctypes.CDLL(None, use_errno=True)
        self.fd = libc.inotify_init1(IN_NONBLOCK)
        if self.fd < 0 or libc.inotify_add_watch(self.fd, os.fsencode(path), IN_OPEN) < 0:
            raise OSError(ctypes.get_errno(), "inotify on " + path)

    def opens(self):
        """The opens since the last call."""
        count = 0
        while True:
            try:
                events = os.read(self.fd, 4096)
            except BlockingIOError:
                return count
            offset = 0
            while offset < len(events):
                _, mask, _, length = struct.unpack_from("iIII", events, offset)
                offset += 16 + length
                count += 1 if mask & IN_OPEN else 0

    def close(self):
        os.close(self.fd)
