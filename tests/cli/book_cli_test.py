#!/usr/bin/env python3
"""kavrin-cli's record book end to end, against kavrin-sim.

Usage: book_cli_test.py --sim KAVRIN_SIM --cli KAVRIN_CLI

Two exports of one reader (the second brings nothing new), `book tag` in
every ID form, an animal list with bad rows, `missing` and `unknown`, a
book that cannot be written (the file is saved all the same), and an
export killed with SIGKILL whose book holds its file's complete rows. The
book is read back with Python's own sqlite3 module.
"""

import argparse
import csv
import json
import os
import re
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time
import unittest

from virtual_reader import SAMPLE_TIME, Reader, fdxb

COMMAND_TIMEOUT = 120


DAISY = fdxb(982, 123456789012)
BELL = fdxb(982, 123456789013)
STRAY = fdxb(276, 5)
DAISY_LATER = fdxb(982, 123456789012, SAMPLE_TIME + 60)


class BookTest(unittest.TestCase):
    cli = sim = None

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="kavrin-book-")
        self.book = os.path.join(self.folder, "records.db")
        self.reader = None

    def tearDown(self):
        if self.reader:
            self.reader.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

    def run_cli(self, *argv):
        # The default book lives here too, should a case forget --book.
        env = dict(os.environ, TZ="UTC0", XDG_DATA_HOME=self.folder)
        return subprocess.run([self.cli, "--book", self.book, *argv], env=env, capture_output=True, text=True,
                              timeout=COMMAND_TIMEOUT)

    def ok(self, *argv):
        result = self.run_cli(*argv)
        self.assertEqual(result.returncode, 0, result)
        return result

    def export(self, *argv):
        return self.run_cli("-p", self.reader.link, "export", "-o", self.folder, *argv)

    def book_rows(self, download):
        with sqlite3.connect(self.book) as db:
            return db.execute("SELECT d.row, r.type, printf('%03d', r.country), r.tid, r.time"
                              " FROM download_rows d JOIN reads r USING (country, national, raw)"
                              " WHERE d.download = ? ORDER BY d.row", (download,)).fetchall()

    def test_a_second_export_of_the_same_reader_brings_nothing_new(self):
        self.reader = Reader(self.sim, self.folder, [DAISY, BELL, STRAY])
        first = self.export()
        self.assertEqual(first.returncode, 0, first)
        self.assertIn("record book: download 1, 3 records, 3 new\n", first.stderr)
        second = self.export()
        self.assertEqual(second.returncode, 0, second)
        self.assertIn("record book: download 2, 3 records, 0 new\n", second.stderr)

        listing = self.ok("book").stdout.splitlines()
        self.assertEqual(len(listing), 3, listing)
        self.assertRegex(listing[2], r"^\s+2\s+\S+ \S+\s+3\s+0\s+complete\s+%s\s+%s$"
                         % (re.escape(self.reader.link), re.escape(second.stdout.strip())))
        with open(first.stdout.strip(), newline="") as f:
            rows = [line.rstrip("\r\n").split(",") for line in f][1:]
        self.assertEqual([list(map(str, row)) for row in self.book_rows(2)], rows)

        shown = self.ok("book", "show", "2", "-o", self.folder).stdout.strip()
        with open(shown, "rb") as a, open(first.stdout.strip(), "rb") as b:
            self.assertEqual(a.read(), b.read(), "book show writes the download's file again")

    def test_book_tag_takes_every_form_of_an_id(self):
        self.reader = Reader(self.sim, self.folder, [DAISY, BELL, DAISY_LATER])
        self.assertEqual(self.export().returncode, 0)
        forms = [["982000123456789012"[:3] + "123456789012"], ["982 123456789012"], ["0982123456789012"],
                 ["982-123456789012"], ["982", "123456789012"], ["00000", "0", "982", "123456789012"]]
        answers = [self.ok("book", "tag", *form).stdout for form in forms]
        self.assertEqual(answers[0].splitlines(), [
            "2020-09-13 12:27:40  FDXB  982 123456789012  download 1, row 3",
            "2020-09-13 12:26:40  FDXB  982 123456789012  download 1, row 1",
        ])
        for form, answer in zip(forms, answers):
            self.assertEqual(answer, answers[0], form)
        refused = self.run_cli("book", "tag", "9.82E+14")
        self.assertEqual(refused.returncode, 2, refused)

    def test_an_animal_list_with_bad_rows_imports_nothing(self):
        bad = os.path.join(self.folder, "animals.csv")
        with open(bad, "w", encoding="utf-8-sig", newline="") as f:
            f.write("Name;Tag;Group\r\nDaisy;982 123456789012;North\r\nBell;9.82E+14;North\r\n;;South\r\n")
        result = self.run_cli("animals", "import", bad)
        self.assertEqual(result.returncode, 1, result)
        self.assertIn("%s: line 3: tag \"9.82E+14\"" % bad, result.stderr)
        self.assertIn("%s: line 4: no tag" % bad, result.stderr)
        self.assertIn("nothing imported", result.stderr)
        self.assertEqual(self.ok("animals").stdout, "tag,visual tag,name,group,notes\n")

    def test_missing_animals_and_unknown_reads(self):
        animals = os.path.join(self.folder, "animals.csv")
        with open(animals, "w", newline="") as f:
            f.write("tag,name,group,notes\r\n982123456789012,Daisy,North,\r\n982123456789013,Bell,North,\r\n"
                    "982123456789099,Max,South,=1+1\r\n")
        self.assertIn("3 animals imported", self.ok("animals", "import", animals).stderr)
        self.reader = Reader(self.sim, self.folder, [DAISY, STRAY])
        self.assertEqual(self.export().returncode, 0)

        self.assertEqual(self.ok("book", "missing").stdout.splitlines(), [
            "tag,visual tag,name,group,notes", "982 123456789013,,Bell,North,", "982 123456789099,,Max,South,\"'=1+1\""])
        self.assertEqual(self.ok("book", "missing", "--group", "North", "--download", "1").stdout.splitlines()[1:],
                         ["982 123456789013,,Bell,North,"])
        self.assertEqual(self.ok("book", "unknown").stdout.splitlines(),
                         ["2020-09-13 12:26:40  FDXB  276 000000000005  download 1, row 2"])

    def test_animals_join_the_export_and_the_books_files(self):
        animals = os.path.join(self.folder, "animals.csv")
        with open(animals, "w", newline="") as f:
            f.write("tag,visual tag,name,group\r\n982123456789012,17,=Daisy,North\r\n")
        self.ok("animals", "import", animals)
        self.reader = Reader(self.sim, self.folder, [DAISY, STRAY])
        exported = self.export("--animals")
        self.assertEqual(exported.returncode, 0, exported)
        with open(exported.stdout.strip(), newline="") as f:
            lines = f.read().split("\r\n")
        self.assertEqual(lines[0], "INDEX,TYPE,COUNTRY ID,TID,TIME,VISUAL TAG,NAME,GROUP")
        self.assertTrue(lines[1].endswith(",123456789012,2020-09-13 12:26:40,17,\"'=Daisy\",North"), lines[1])
        self.assertTrue(lines[2].endswith(",2020-09-13 12:26:40,,,"), lines[2])

        # The book's own files take the animals the same way, in every format.
        shown = self.ok("book", "show", "1", "--animals", "-o", self.folder).stdout.strip()
        with open(shown, "rb") as a, open(exported.stdout.strip(), "rb") as b:
            self.assertEqual(a.read(), b.read())
        jsonl = self.ok("book", "export", "--animals", "--format", "jsonl", "-o", self.folder).stdout.strip()
        with open(jsonl) as f:
            objects = [json.loads(line) for line in f]
        self.assertEqual([(o["visual_tag"], o["name"], o["group"]) for o in objects],
                         [("17", "=Daisy", "North"), (None, None, None)])

    def test_a_nait_file_from_the_book_has_the_visual_tags_and_each_tag_once(self):
        animals = os.path.join(self.folder, "animals.csv")
        with open(animals, "w", newline="") as f:
            f.write("tag,visual tag,name\r\n982123456789012,17,Daisy\r\n")
        self.ok("animals", "import", animals)
        self.reader = Reader(self.sim, self.folder, [DAISY, STRAY, DAISY_LATER])
        self.assertEqual(self.export().returncode, 0)
        written = self.ok("book", "export", "--format", "nait", "--sending", "123", "--receiving", "456",
                          "--date-received", "2020-09-14", "-o", self.folder).stdout.split()
        self.assertEqual(len(written), 1, written)
        with open(written[0], newline="") as f:
            rows = list(csv.reader(f))
        self.assertEqual([row[2:5] for row in rows[1:]], [["982 123456789012", "17", "1"], ["276 000000000005", "", "2"]])
        # The live export fills the visual tag from the same list, each read a row.
        live = self.export("--format", "nait", "--sending", "123", "--receiving", "456", "--date-received", "2020-09-14")
        self.assertEqual(live.returncode, 0, live)
        with open(live.stdout.strip(), newline="") as f:
            self.assertEqual([row[3] for row in list(csv.reader(f))[1:]], ["17", "", "17"])
        refused = self.run_cli("book", "show", "1", "--format", "nait", "--sending", "123")
        self.assertEqual(refused.returncode, 2, refused)
        self.assertTrue(refused.stderr.startswith("--receiving is needed"), refused.stderr)

    def test_a_book_that_cannot_be_written_never_costs_the_file(self):
        with open(self.book, "w") as f:
            f.write("not a database\n")
        self.reader = Reader(self.sim, self.folder, [DAISY, BELL])
        result = self.export("--delete")
        self.assertEqual(result.returncode, 1, result)
        path = result.stdout.strip()
        self.assertTrue(path.endswith(".csv") and os.path.getsize(path) > 0, result)
        self.assertIn("record book %s: not a Kavrin record book" % self.book, result.stderr)
        self.assertIn("not deleting the reader's records: the record book does not hold the download", result.stderr)
        with open(self.book) as f:
            self.assertEqual(f.read(), "not a database\n")
        self.assertEqual(self.run_cli("-p", self.reader.link, "count").stdout, "2\n", "nothing was deleted")

    def test_an_export_killed_leaves_the_book_with_the_files_complete_rows(self):
        # After 25 blocks the reader falls silent: the export waits for the
        # 26th, and is killed while it waits.
        self.reader = Reader(self.sim, self.folder, (), "--records", "400", "--fault", "GET_RECORDS:silent:0:25")
        proc = subprocess.Popen([self.cli, "--book", self.book, "-p", self.reader.link, "export", "-o", self.folder],
                                env=dict(os.environ, TZ="UTC0", XDG_DATA_HOME=self.folder),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 60
        path, rows = None, []
        while time.monotonic() < deadline and len(rows) < 250:
            files = [n for n in os.listdir(self.folder) if n.endswith(".csv")]
            if files:
                path = os.path.join(self.folder, files[0])
                with open(path, newline="") as f:
                    rows = f.read().split("\r\n")[1:-1]
            time.sleep(0.05)
        time.sleep(0.2)
        proc.send_signal(signal.SIGKILL)
        proc.wait(timeout=10)
        self.assertEqual(len(rows), 250, "the export never wrote its first 25 blocks")
        with open(path, newline="") as f:
            self.assertEqual(f.read().split("\r\n")[1:-1], rows, "the export was waiting, not writing")
        book = [",".join(map(str, row)) for row in self.book_rows(1)]
        self.assertEqual(book, rows)
        with sqlite3.connect(self.book) as db:
            self.assertEqual(db.execute("SELECT outcome, reported FROM downloads").fetchall(), [("unfinished", 0)])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sim", required=True)
    parser.add_argument("--cli", required=True)
    args, rest = parser.parse_known_args()
    BookTest.sim, BookTest.cli = args.sim, args.cli
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
