"""Connect and Discon in the real window, against virtual readers."""

import time

from dialog_harness import DialogTest

OPEN_SUCCESS = "CommPort open success!"
OPEN_FAILED = "CommPort open failed!"
READER_FAILED = "Connect reader failed!"


class ConnectionTest(DialogTest):

    def assert_disconnected(self, reader=None):
        self.assertEqual(self.text("Connect"), "Connect")
        self.assertFalse(self.enabled("Upgrade"))
        if reader:
            self.assertFalse(self.port_in_use(reader), "the port is still held")

    def test_connect_shows_the_version_and_a_second_click_disconnects(self):
        reader = self.reader("COM1", "--firmware-version", "2.10")
        self.start()

        self.assertEqual(self.press("Connect")["state"], "idle")
        self.assertEqual(self.log(), [OPEN_SUCCESS, "Reader firmvare version:2.10"])
        self.assertEqual(self.text("Connect"), "Discon")
        self.assertTrue(self.enabled("Upgrade"))
        self.assertTrue(self.port_in_use(reader))
        self.screenshot("connected")

        self.press("Connect")
        self.assertEqual(self.log(), [OPEN_SUCCESS, "Reader firmvare version:2.10"], "no line on disconnect")
        self.assert_disconnected(reader)
        self.assertEqual(len(reader.received()), 1, "nothing sent on disconnect")

    def test_a_reader_that_does_not_answer_fails_after_the_read_timeout(self):
        reader = self.reader("COM1", "--fault", "GET_VERSION:silent")
        self.start()

        began = time.monotonic()
        self.press("Connect")
        seconds = time.monotonic() - began

        self.assertEqual(self.log(), [OPEN_SUCCESS, READER_FAILED])
        self.assertGreaterEqual(seconds, 2.7)
        self.assertLess(seconds, 15.0)
        self.assert_disconnected(reader)

    def test_garbage_or_a_vanishing_reader_leaves_it_disconnected(self):
        faults = {"COM1:": "garbage:12", "COM2:": "wrong-header", "COM3:": "short-body", "COM4:": "hangup"}
        readers = {port: self.reader(port, "--fault", "GET_VERSION:" + fault) for port, fault in faults.items()}
        self.start()
        for port, fault in faults.items():
            with self.subTest(fault=fault):
                self.choose_port(port)
                self.press("Connect")
                self.assertEqual(self.log()[-2:], [OPEN_SUCCESS, READER_FAILED])
                self.assert_disconnected(readers[port])
        self.assertEqual(len(self.log()), 2 * len(faults))

    def test_without_ports_connect_fails_to_open(self):
        self.start()
        self.assertEqual(self.ports(), ([], None))
        self.assertEqual(self.log(), [])

        self.press("Connect")
        self.assertEqual(self.log(), [OPEN_FAILED])
        self.assert_disconnected()

    def test_the_log_keeps_every_line_in_order(self):
        self.reader("COM1", "--firmware-version", "1.3")
        self.start()
        for _ in range(3):
            self.press("Connect")
            self.press("Connect")
        self.assertEqual(self.log(), [OPEN_SUCCESS, "Reader firmvare version:1.3"] * 3)
