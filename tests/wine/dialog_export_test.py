"""Get Data in the real window: the CSV file in the program's working folder,
or in Documents where the user cannot write that folder."""

import getpass
import os
import re

from dialog_harness import DialogTest, Session

CSV_NAME = re.compile(r"^\d{8}_\d{4}(_\d+)?\.csv$")


class ExportTest(DialogTest):

    def csv_files(self):
        return sorted(f for f in os.listdir(self.workdir) if CSV_NAME.match(f))

    def test_get_data_writes_every_record_and_says_so(self):
        reader = self.reader("COM1", "--records", "25")
        self.start()
        self.press("Connect")

        self.assertEqual(self.press("Get Data")["state"], "popup")
        self.assertEqual(self.answer_message_box(), "Data has been saved!")

        files = self.csv_files()
        self.assertEqual(len(files), 1)
        with open(os.path.join(self.workdir, files[0]), "rb") as f:
            lines = f.read().split(b"\r\n")
        self.assertEqual(lines[0], b"INDEX,TYPE,COUNTRY ID,TID,TIME")
        self.assertEqual(lines[-1], b"", "every line ends in CR LF")
        rows = lines[1:-1]
        self.assertEqual([r.split(b",")[0] for r in rows], [str(i).encode() for i in range(1, 26)])
        self.assertTrue(all(r.split(b",")[1] in (b"FDXB", b"HDX") for r in rows))
        block_starts = [line.split()[4:8] for line in reader.received() if line.split()[3] == "41"]
        self.assertEqual(block_starts, [["00", "00", "00", "00"], ["00", "00", "00", "0A"], ["00", "00", "00", "14"]])

        # A second export in the same minute keeps the first file.
        self.press("Get Data")
        self.assertEqual(self.answer_message_box(), "Data has been saved!")
        self.assertEqual(len(self.csv_files()), 2)

    def test_get_data_in_a_folder_the_user_cannot_write_saves_into_documents(self):
        # As the installed program's shortcut deployed as SYSTEM starts it.
        # Wine takes the folder's Unix mode for its ACL, even for root.
        documents = os.path.realpath(os.path.join(Session.env["WINEPREFIX"], "drive_c", "users", getpass.getuser(),
                                                  "Documents"))
        before = set(os.listdir(documents))
        self.reader("COM1", "--records", "3")
        os.chmod(self.workdir, 0o555)
        try:
            self.start()
            self.press("Connect")
            self.press("Get Data")
            self.assertEqual(self.answer_message_box(), "Data has been saved!")
        finally:
            os.chmod(self.workdir, 0o755)
        saved = sorted(set(os.listdir(documents)) - before)
        for name in saved:
            os.unlink(os.path.join(documents, name))
        self.assertEqual(self.csv_files(), [])
        self.assertEqual(len(saved), 1, saved)
        self.assertRegex(saved[0], CSV_NAME)

    def test_get_data_while_disconnected_writes_nothing(self):
        self.reader("COM1", "--records", "5")
        self.start()
        self.assertEqual(self.press("Get Data")["state"], "idle")
        self.assertEqual(self.log(), ["Get records cnt failed."])
        self.assertEqual(self.csv_files(), [])
