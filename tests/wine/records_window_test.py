"""Kavrin Records over the book Kavrin.exe keeps: a Get Data shown with the
file's rows as it lands, a tag found in any form, a NAIT file written after
a refused field, an animal list with bad lines refused whole, the book
turned off from Records, and a locked book said after the file is saved."""

import csv
import os
import re
import sqlite3
import time

from records_harness import (ANIMALS, BOOK_STATUS, DOWNLOADS, FILE_NAME_BOX, FIND, FIND_TEXT, FORMATS, IMPORT_ANIMALS,
                             KEEP_BOOK, OK, REPORT_LINES, SAVE_AS, SAVE_FILE, SAVE_FORMAT, SAVE_RECEIVING,
                             SAVE_SENDING, SHOWN, SHOWN_LABEL, RecordsTest, windows_path)

CSV_NAME = re.compile(r"^\d{8}_\d{4}(_\d+)?\.csv$")
NAIT_HEADER = ("Sending NAIT Number,Receiving NAIT Number,NAIT RFID,NAIT Visual Tag Number,External Record ID,"
               "Date Sent,Date Received")


class RecordsWindowTest(RecordsTest):

    def csv_rows(self):
        """The rows of each CSV file Get Data wrote, oldest first."""
        files = sorted(f for f in os.listdir(self.workdir) if CSV_NAME.match(f))
        rows = []
        for name in files:
            with open(os.path.join(self.workdir, name), newline="") as f:
                rows.append(list(csv.reader(f))[1:])
        return files, rows

    def downloads_in_book(self):
        with sqlite3.connect("file:%s?mode=ro" % self.book_path(), uri=True) as book:
            return book.execute("SELECT count(*) FROM downloads").fetchone()[0]

    def test_a_get_data_shows_with_the_file_rows_and_its_reads_go_to_a_nait_file_and_a_tag_is_found(self):
        self.reader("COM1", "--records", "25")
        self.start_records()
        self.assertIn("no record book there", self.wait_for_text(BOOK_STATUS, "record book"))
        self.start()
        self.press("Connect")
        self.assertEqual(self.get_data(), ["Data has been saved!"])
        files, [rows] = self.csv_rows()

        # The window sees the new book and its download without being asked.
        self.records()
        shown = self.wait_for_rows(25)
        self.assertEqual(shown["headings"], ["Row", "Type", "Country", "Tag", "Time", "Visual tag", "Name", "Group",
                                             "New"])
        tag = lambda row: "%s %012d" % (row[2], int(row[3]))
        self.assertEqual([r[:5] for r in shown["rows"]], [[r[0], r[1], r[2], tag(r), r[4]] for r in rows])
        self.assertTrue(all(r[8] == "new" for r in shown["rows"]))
        [download] = self.rows(DOWNLOADS)["rows"]
        self.assertEqual([download[0], download[2], download[3], download[5]], ["1", "COM1", "25", "complete"])
        self.assertEqual(download[6], windows_path(os.path.join(self.workdir, files[0])))

        # Save As NAIT: a refused field is named and nothing is written; mended, the file holds every read.
        target = os.path.join(self.workdir, "moves.csv")
        self.assertEqual(self.click(SAVE_AS)["state"], "popup")
        self.driver("popup-select", SAVE_FORMAT, FORMATS.index("nait"))
        self.driver("popup-settext", SAVE_SENDING, "12x45")
        self.driver("popup-settext", SAVE_RECEIVING, "67890")
        self.driver("popup-settext", SAVE_FILE, windows_path(target))
        self.driver("popup-press", OK)
        self.assertEqual(self.answer(), "Sending NAIT number: a NAIT number is digits only")
        self.assertFalse(os.path.exists(target))
        self.driver("popup-settext", SAVE_SENDING, "12345")
        self.driver("popup-press", OK)
        self.assertEqual(self.answer(), "25 reads saved in %s." % windows_path(target))
        with open(target, newline="") as f:
            lines = f.read().split("\r\n")
        today = time.strftime("%d/%m/%Y")
        self.assertEqual(lines[0], NAIT_HEADER)
        self.assertEqual(lines[1:-1], ["12345,67890,%s,,%s,%s," % (tag(r), r[0], today) for r in rows])
        self.assertEqual(os.listdir(self.workdir).count("moves.csv"), 1, "nothing else left beside it")

        # Find Tag takes the ID in its 16-digit form.
        wanted = rows[4]
        self.driver("settext", FIND_TEXT, "0%s%012d" % (wanted[2], int(wanted[3])))
        self.click(FIND)
        self.wait_for_text(SHOWN_LABEL, "Every read of %s: 1" % tag(wanted))
        self.assertEqual([r[:5] for r in self.rows()["rows"]], [[wanted[0], wanted[1], wanted[2], tag(wanted), wanted[4]]])

    def test_an_animal_list_with_bad_lines_is_refused_whole_and_imported_once_mended(self):
        animals = os.path.join(self.workdir, "animals.csv")
        with open(animals, "w") as f:
            f.write("tag,name,group\n982 000123456789,Daisy,North\n9.82E+14,Bella,North\n982000123456789,Dot,North\n")
        self.start_records()
        self.assertEqual(self.click(IMPORT_ANIMALS)["state"], "popup")
        self.driver("popup-settext", FILE_NAME_BOX, windows_path(animals))
        self.driver("popup-press", OK)
        report = self.wait_for_popup()
        self.assertEqual(report["caption"], "Import Animals")
        lines = self.driver("popup-items", REPORT_LINES)["items"]
        self.assertEqual(len(lines), 2, lines)
        self.assertRegex(lines[0], r'^Line 3: tag "9\.82E\+14": a spreadsheet')
        self.assertEqual(lines[1], 'Line 4: tag "982000123456789" is on line 2 already')
        self.driver("popup-press", OK)
        self.click(ANIMALS)
        self.wait_for_text(SHOWN_LABEL, "Animals of every group: 0")

        with open(animals, "w") as f:
            f.write("tag,name,group\n982 000123456789,Daisy,North\n0982000123456790,Bella,South\n")
        self.click(IMPORT_ANIMALS)
        self.driver("popup-settext", FILE_NAME_BOX, windows_path(animals))
        self.driver("popup-press", OK)
        self.assertEqual(self.answer(), "2 animals imported from %s." % windows_path(animals))
        self.wait_for_text(SHOWN_LABEL, "Animals of every group: 2")
        self.assertEqual([r[:4] for r in self.rows()["rows"]],
                         [["982 000123456789", "", "Daisy", "North"], ["982 000123456790", "", "Bella", "South"]])

    def test_the_book_turned_off_in_records_keeps_no_get_data_until_turned_on(self):
        self.reader("COM1", "--records", "3")
        self.start_records()
        self.assertTrue(self.driver("checked", KEEP_BOOK)["value"])
        self.click(KEEP_BOOK)
        self.assertFalse(self.driver("checked", KEEP_BOOK)["value"])
        self.start()
        self.press("Connect")
        self.assertEqual(self.get_data(), ["Data has been saved!"])
        self.assertFalse(os.path.exists(self.book_path()), "no book was started")

        self.records()
        self.click(KEEP_BOOK)
        self.assertTrue(self.driver("checked", KEEP_BOOK)["value"])
        self.assertEqual(self.get_data(), ["Data has been saved!"])
        self.assertEqual(self.downloads_in_book(), 1)
        self.assertEqual([len(rows) for rows in self.csv_rows()[1]], [3, 3])

    def test_a_locked_book_is_said_after_the_file_is_saved(self):
        self.reader("COM1", "--records", "3")
        self.start()
        self.press("Connect")
        self.assertEqual(self.get_data(), ["Data has been saved!"])
        holder = sqlite3.connect(self.book_path(), isolation_level=None, timeout=0)
        try:
            holder.execute("BEGIN EXCLUSIVE")
            saved, book = self.get_data()
        finally:
            holder.close()
        self.assertEqual(saved, "Data has been saved!")
        self.assertRegex(book, r"^record book C:\\users\\.*\\records\.db: locked by another program")
        self.assertEqual([len(rows) for rows in self.csv_rows()[1]], [3, 3], "the file is whole all the same")
        self.assertEqual(self.downloads_in_book(), 1)
