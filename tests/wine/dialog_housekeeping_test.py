"""Get Cnt, Delete All, Sync Time and the power-down Get and Set in the real
window, with what reached the virtual reader read back from it."""

import datetime
import time

from dialog_harness import DialogTest, NO, OK, YES, frame

GET_RECORD_COUNT, DELETE_RECORDS, SET_TIME, SET_PARAMS, GET_PARAMS = 0x40, 0x42, 0x20, 0x23, 0x24
RANGE_MESSAGE = "Please enter an integer between 1 and 60."


def clock_time(state):
    year, month, day, hour, minute, second = (int(b, 16) for b in state["clock"].split())
    return datetime.datetime(2000 + year, month, day, hour, minute, second)


class HousekeepingTest(DialogTest):

    def press_logging(self, button):
        """Presses a button and gives the lines it added to the log."""
        before = len(self.log())
        self.assertEqual(self.press(button)["state"], "idle")
        return self.log()[before:]

    def test_get_cnt_shows_the_count_as_a_signed_int(self):
        readers = {"COM1:": (self.reader("COM1", "--records", "300"), "300"),
                   "COM2:": (self.reader("COM2", "--count", "2147483648"), "-2147483648")}
        self.start()
        for port, (reader, shown) in readers.items():
            with self.subTest(port=port):
                self.choose_port(port)
                self.connect(reader)
                self.assertEqual(self.press_logging("Get Cnt"), ["Get records cnt success."])
                self.assertEqual(self.text("Records Cnt"), shown)
                self.assertEqual(self.text("Auto PwrDwn Time"), "10")
                self.assertEqual(reader.received(), [frame(GET_RECORD_COUNT)])
                self.press("Connect")
        self.assertEqual(readers["COM1:"][0].state()["records"], "300")

    def test_delete_all_asks_first_then_empties_the_reader_and_leaves_the_count_shown(self):
        reader = self.reader("COM1", "--records", "300")
        self.start()
        self.connect(reader)
        self.press("Get Cnt")
        reader.command("clear-received")
        logged = self.log()

        box = self.press("Delete All")
        self.assertEqual(box["text"], "Delete all records stored in the reader? This cannot be undone.")
        self.assertEqual(box["default"], NO)
        self.answer_message_box(NO)
        self.assertEqual(self.log(), logged)
        self.assertEqual(reader.received(), [])

        began = time.monotonic()
        self.assertEqual(self.press("Delete All")["state"], "popup")
        self.answer_message_box(YES)
        self.assertEqual(self.log()[len(logged):], ["Please wait...", "All records has been Deleted."])
        self.assertGreaterEqual(time.monotonic() - began, 0.2, "no wait after deleting")
        self.assertEqual(self.text("Records Cnt"), "300")
        self.assertEqual(reader.received(), [frame(DELETE_RECORDS)])
        self.assertEqual(reader.state()["records"], "0")

        self.press("Get Cnt")
        self.assertEqual(self.text("Records Cnt"), "0")

    def test_sync_time_sets_the_readers_clock_to_the_pcs_local_time(self):
        reader = self.reader("COM1")
        self.start()
        self.connect(reader)

        # Wine takes its time zone from the host, as this process does.
        before = datetime.datetime.now().replace(microsecond=0)
        self.assertEqual(self.press_logging("Sync Time"), ["Sync time success."])
        after = datetime.datetime.now()

        state = reader.state()
        clock = clock_time(state)
        slack = datetime.timedelta(seconds=3)
        self.assertTrue(before - slack <= clock <= after + slack, "reader clock %s, PC %s to %s" % (clock, before, after))
        self.assertEqual(reader.received(), [frame(SET_TIME, *(int(b, 16) for b in state["clock"].split()))])

    def test_get_shows_the_readers_power_down_time(self):
        reader = self.reader("COM1", "--params", "0102031E")
        self.start()
        self.connect(reader)
        self.assertEqual(self.press_logging("Get"), ["Get params OK."])
        self.assertEqual(self.text("Auto PwrDwn Time"), "30")
        self.assertEqual(self.text("Records Cnt"), "0")
        self.assertEqual(reader.received(), [frame(GET_PARAMS)])

    def test_set_sends_the_typed_minutes_with_the_other_bytes_as_read(self):
        reader = self.reader("COM1", "--params", "0102030A")
        self.start()
        self.connect(reader)
        self.type_into("Auto PwrDwn Time", "45")
        self.assertEqual(self.press_logging("Set"), ["Set Power down time Ok."])
        self.assertEqual(reader.received(), [frame(GET_PARAMS), frame(SET_PARAMS, 0x01, 0x02, 0x03, 0x2D)])
        self.assertEqual(reader.state()["params"], "01 02 03 2D")
        self.assertEqual(self.text("Auto PwrDwn Time"), "45")

    def test_set_out_of_range_shows_the_range_message_then_logs_params_error(self):
        reader = self.reader("COM1", "--params", "0102030A")
        self.start()
        self.connect(reader)
        lines = len(self.log())
        self.type_into("Auto PwrDwn Time", "61")

        self.assertEqual(self.press("Set")["state"], "popup")
        self.assertEqual(len(self.log()), lines, "logged before the message was answered")
        self.assertEqual(self.answer_message_box(OK), RANGE_MESSAGE)
        self.assertEqual(self.log()[lines:], ["Params error."])
        self.assertEqual(self.text("Auto PwrDwn Time"), "61")
        self.assertEqual(reader.received(), [])
        self.assertEqual(reader.state()["params"], "01 02 03 0A")

    def test_every_handler_logs_its_failure_while_disconnected(self):
        reader = self.reader("COM1", "--records", "5")
        self.start()
        failures = [("Get Cnt", "Get records cnt failed."),
                    ("Sync Time", "Sync time failed."), ("Get", "Get params Failed."), ("Set", "Get params Failed.")]
        for button, line in failures:
            with self.subTest(button=button):
                self.assertEqual(self.press_logging(button), [line])
        self.assertEqual((self.text("Records Cnt"), self.text("Auto PwrDwn Time")), ("0", "10"))
        self.assertEqual(reader.received(), [])
        self.assertEqual(reader.state()["records"], "5")
