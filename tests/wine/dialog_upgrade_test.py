"""Browse and Upgrade in the real window: the file dialog used as a person
would (a path typed into its name field, then Open), the image read back
from the virtual reader."""

import os
import time

from dialog_harness import BUTTONS, CANCEL, FILE_LIST, HANDLER_TIMEOUT, OK, DialogTest, frame

# Controls of the open-file dialog.
FILE_NAME, FILE_TYPES, OPEN = 1148, 1136, 1
UPGRADE_START, UPGRADE_DATA, UPGRADE_END, ERASE = 0x31, 0x32, 0x33, 0x34
ERASE_KEY = (0xC3, 0x3C, 0x62, 0x19)
BLOCK = 128

CONFIRM = "Are you sure download the file?"
CANNOT_OPEN = "can not open file!"
FILE_ERROR = "File error!"
PLEASE_WAIT = "Please wait......."
FINISHED = "Upgrade Finished"


def wine_path(path):
    """The Windows name of a Linux path: Wine's drive Z: is the root."""
    return "Z:" + path.replace("/", "\\")


def image_bytes(length, seed):
    """No 0xFF anywhere, so padding shows; a period of 255, so every block differs."""
    return bytes((i + seed) % 255 for i in range(length))


class UpgradeTest(DialogTest):

    def setUp(self):
        super().setUp()
        self.folder = os.path.join(self.workdir, "Firmware-Ünïcødé-固件")
        os.makedirs(self.folder)

    def image(self, name, length, seed=1):
        path = os.path.join(self.folder, name)
        with open(path, "wb") as f:
            f.write(image_bytes(length, seed))
        return path

    def open_file_dialog(self):
        state = self.press("Browse")
        self.assertEqual(state["state"], "popup", "no file dialog")
        self.assertEqual(state["caption"], "Open")

    def browse(self, path):
        """Browse: the path typed into the file dialog, then Open. Gives the
        state afterwards: idle, or a message box showing."""
        self.open_file_dialog()
        self.driver("popup-settext", FILE_NAME, wine_path(path))
        self.driver("popup-press", OPEN)
        return self.settle(HANDLER_TIMEOUT)

    def file_list(self):
        return self.driver("items", FILE_LIST)

    def upgrade(self):
        """Upgrade, confirmed with OK; gives the lines it logged."""
        before = len(self.log())
        self.assertEqual(self.press("Upgrade")["state"], "popup")
        self.assertEqual(self.answer_message_box(OK), CONFIRM)
        return self.log()[before:]

    def received_image(self, reader):
        path = os.path.join(self.workdir, "received.bin")
        reader.command("image " + path)
        with open(path, "rb") as f:
            return f.read()

    def assert_sent(self, reader, image, blocks):
        """The reader got erase, start with the length, the blocks, end: and holds the image."""
        frames = reader.received()
        length = len(image).to_bytes(4, "big")
        self.assertEqual(frames[:2], [frame(ERASE, *ERASE_KEY), frame(UPGRADE_START, *length)])
        self.assertEqual(frames[-1], frame(UPGRADE_END))
        self.assertEqual([f.split()[3] for f in frames[2:-1]], ["%02X" % UPGRADE_DATA] * blocks)
        state = reader.state()
        self.assertEqual((state["firmware.finished"], state["firmware.length"], state["firmware.blocks"]),
                         ("1", str(len(image)), str(blocks)))
        self.assertEqual(self.received_image(reader), image + b"\xff" * (blocks * BLOCK - len(image)))

    def test_upgrade_sends_the_image_from_a_unicode_path_then_disconnects(self):
        reader = self.reader("COM1")
        path = self.image("image.bin", 8192)
        self.start()

        self.open_file_dialog()
        self.assertEqual(self.driver("popup-items", FILE_TYPES)["items"], ["BINARY FILE(*.bin)"])
        self.driver("popup-settext", FILE_NAME, wine_path(path))
        self.driver("popup-press", OPEN)
        self.assertEqual(self.settle(HANDLER_TIMEOUT)["state"], "idle")
        self.assertEqual(self.file_list(), {"items": [wine_path(path)], "selected": 0})
        self.assertEqual(self.log(), [])

        self.connect(reader)
        self.assertEqual(self.upgrade(), [PLEASE_WAIT, FINISHED])
        self.assertEqual(self.progress(), 100)
        self.assert_sent(reader, image_bytes(8192, 1), 65)
        self.assertEqual(self.text("Connect"), "Connect")
        self.assertFalse(self.enabled("Upgrade"))
        self.assertFalse(self.port_in_use(reader), "the port is still held")
        self.screenshot("upgraded")

        # The finished upgrade closed the image: another needs another Browse.
        self.connect(reader)
        self.assertEqual(self.upgrade(), [FILE_ERROR])
        self.assertEqual(reader.received(), [])
        self.assertEqual(self.progress(), 100)

    def test_the_image_browsed_last_is_sent_and_a_cancelled_browse_changes_nothing(self):
        reader = self.reader("COM1")
        later = self.image("b-8192.bin", 8192, seed=1)
        first = self.image("a-8000.bin", 8000, seed=2)
        self.start()
        self.assertEqual(self.browse(later)["state"], "idle")
        self.assertEqual(self.browse(first)["state"], "idle")
        listed = {"items": [wine_path(first), wine_path(later)], "selected": 0}
        self.assertEqual(self.file_list(), listed)

        self.open_file_dialog()
        self.driver("popup-settext", FILE_NAME, wine_path(later))
        self.driver("popup-press", CANCEL)
        self.assertEqual(self.settle(HANDLER_TIMEOUT)["state"], "idle")
        self.assertEqual(self.file_list(), listed)

        self.connect(reader)
        self.assertEqual(self.upgrade(), [PLEASE_WAIT, FINISHED])
        self.assertEqual(self.progress(), 99)
        self.assert_sent(reader, image_bytes(8000, 2), 63)

    def test_please_wait_shows_while_the_image_goes(self):
        # At the line's pace 128 KiB take over 11 s.
        reader = self.reader("COM1", "--baud", "115200")
        self.start()
        self.browse(self.image("image.bin", 128 * 1024))
        self.connect(reader)
        before = self.pixels("log")

        self.driver("press", BUTTONS["Upgrade"])
        self.assertEqual(self.wait_for_popup()["text"], CONFIRM)
        self.driver("popup-press", OK)
        time.sleep(2)
        during = self.pixels("log")
        self.assertEqual(self.settle(0)["state"], "busy", "the transfer ended before the log was looked at")
        self.assertTrue(during != before, "the log does not show the new line during the transfer")

        self.assertEqual(self.settle(HANDLER_TIMEOUT)["state"], "idle")
        self.assertEqual(self.log()[-2:], [PLEASE_WAIT, FINISHED])

    def test_cancel_in_the_confirmation_sends_nothing(self):
        reader = self.reader("COM1")
        path = self.image("image.bin", 8192)
        self.start()
        self.browse(path)
        self.connect(reader)
        lines = self.log()

        self.assertEqual(self.press("Upgrade")["state"], "popup")
        self.assertEqual(self.answer_message_box(CANCEL), CONFIRM)
        self.assertEqual(self.log(), lines)
        self.assertEqual(reader.received(), [])
        self.assertEqual(self.text("Connect"), "Discon")
        self.assertTrue(self.enabled("Upgrade"))
        self.assertEqual(self.progress(), 0)

    def test_upgrade_with_no_image_browsed_logs_file_error_and_sends_nothing(self):
        reader = self.reader("COM1")
        self.start()
        self.open_file_dialog()
        self.driver("popup-press", CANCEL)
        self.assertEqual(self.settle(HANDLER_TIMEOUT)["state"], "idle")
        self.assertEqual(self.file_list(), {"items": [], "selected": -1})

        self.connect(reader)
        self.assertEqual(self.upgrade(), [FILE_ERROR])
        self.assertEqual(reader.received(), [])
        self.assertEqual(self.text("Connect"), "Discon")

    def test_a_file_that_does_not_open_says_so_and_leaves_no_image_open(self):
        reader = self.reader("COM1")
        good = self.image("image.bin", 8192)
        missing = os.path.join(self.folder, "missing.bin")
        self.start()
        self.browse(good)

        state = self.browse(missing)
        self.assertEqual(state["state"], "popup", "no message for a file that does not open")
        self.assertEqual(self.answer_message_box(OK), CANNOT_OPEN)
        self.assertEqual(self.file_list(), {"items": [wine_path(good), wine_path(missing)], "selected": 0})

        self.connect(reader)
        self.assertEqual(self.upgrade(), [FILE_ERROR])
        self.assertEqual(reader.received(), [])
