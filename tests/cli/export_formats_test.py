#!/usr/bin/env python3
"""kavrin-cli export --format xlsx|jsonl|nait|nlis against kavrin-sim, read back independently.

Usage: export_formats_test.py --sim KAVRIN_SIM --cli KAVRIN_CLI

The workbook is read with openpyxl, the JSON Lines file with Python's json and
the registries' files with Python's csv, all compared with the CSV file the
same program writes from the same records. Country names are checked against
iso-codes' own list.
"""

import argparse
import csv
import datetime
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import openpyxl

from virtual_reader import Reader, fdxb, hdx

# A zone east of UTC with a half hour: times are local, with their offset.
ZONE = "KVT-5:30"
ZONE_OFFSET = "+05:30"
ISO_3166 = "/usr/share/iso-codes/json/iso_3166-1.json"
COMMAND_TIMEOUT = 120
WIDE_COUNTRIES = "rows with a country code above 999, written as decoded in four digits (no registry takes them): %d\n"
NAIT_HEADINGS = ["Sending NAIT Number", "Receiving NAIT Number", "NAIT RFID", "NAIT Visual Tag Number",
                 "External Record ID", "Date Sent", "Date Received"]


RECORDS = [
    fdxb(982, 123456789012),
    hdx(982, 123456789),
    fdxb(250, 28559855506),          # a spreadsheet would drop the leading zero
    hdx(528, 5, seconds=0),          # the first second of 1970
    fdxb(999, 2**38 - 1),            # a test tag, the largest national number
    hdx(985, 2**31),                 # a manufacturer's code, above the signed range
    fdxb(0, 7, seconds=2**32 - 1),   # no country; the last second before 2106
    hdx(1023, 4294967295),           # above every code
]


class ExportFormatsTest(unittest.TestCase):
    cli = sim = None

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="kavrin-formats-")
        self.reader = Reader(self.sim, self.folder, RECORDS)

    def tearDown(self):
        self.reader.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

    def export(self, *argv, **env):
        result = subprocess.run([self.cli, "-p", self.reader.link, "export", "-o", self.folder, *argv],
                                env=dict(os.environ, TZ=ZONE, **env), capture_output=True, text=True,
                                timeout=COMMAND_TIMEOUT)
        return result

    def saved(self, *argv):
        result = self.export(*argv)
        self.assertEqual(result.returncode, 0, result)
        self.assertIn("Data has been saved!\n", result.stderr)
        # RECORDS hold one tag whose country code takes four digits.
        self.assertTrue(result.stderr.endswith("kavrin-cli: " + WIDE_COUNTRIES % 1), result.stderr)
        return result.stdout.strip()

    def csv_rows(self):
        path = self.saved()
        self.assertTrue(path.endswith(".csv"), path)
        with open(path, newline="") as f:
            rows = list(csv.reader(f))
        self.assertEqual(rows[0], ["INDEX", "TYPE", "COUNTRY ID", "TID", "TIME"])
        self.assertEqual(len(rows), len(RECORDS) + 1)
        return rows[1:]

    def country_names(self):
        with open(ISO_3166) as f:
            names = {int(c["numeric"]): c["name"] for c in json.load(f)["3166-1"]}
        names.update({code: "manufacturer code %d" % code for code in range(900, 999)})
        names[999] = "test tag"
        return names

    def test_csv_is_the_default_and_format_csv_the_same_file(self):
        default = self.saved()
        named = self.saved("--format", "csv")
        self.assertNotEqual(default, named, "the second export takes the next free name")
        with open(default, "rb") as a, open(named, "rb") as b:
            self.assertEqual(a.read(), b.read())

    def test_workbook_holds_the_csv_values_with_text_identifiers_and_real_times(self):
        expected = self.csv_rows()
        path = self.saved("--format", "xlsx")
        self.assertRegex(os.path.basename(path), r"^\d{8}_\d{4}\.xlsx$")
        sheet = openpyxl.load_workbook(path).active
        self.assertEqual([c.value for c in sheet[1]], ["INDEX", "TYPE", "COUNTRY ID", "TID", "TIME", "EID", "COUNTRY"])
        self.assertEqual(sheet.freeze_panes, "A2")
        self.assertEqual(sheet.auto_filter.ref, "A1:G%d" % (len(RECORDS) + 1))
        self.assertEqual(sheet.max_row, len(RECORDS) + 1)
        names = self.country_names()
        for row, (index, kind, country, tid, when) in zip(sheet.iter_rows(min_row=2), expected):
            cells = {c.column_letter: c for c in row}
            self.assertEqual((cells["A"].data_type, cells["A"].value), ("n", int(index)))
            self.assertEqual(cells["B"].value, kind)
            for letter, text in (("C", country), ("D", tid), ("F", country + tid.zfill(12))):
                self.assertEqual((cells[letter].data_type, cells[letter].value), ("s", text), letter)
            self.assertTrue(cells["E"].is_date, cells["E"])
            self.assertEqual(cells["E"].number_format, "yyyy-mm-dd hh:mm:ss")
            self.assertEqual(cells["E"].value.strftime("%Y-%m-%d %H:%M:%S"), when)
            self.assertEqual(cells["G"].value or "", names.get(int(country), ""))
        for column in "ABCDEFG":
            longest = max(len(c.strftime("%Y-%m-%d %H:%M:%S") if isinstance(c, datetime.datetime) else str(c))
                          for c in next(sheet.iter_cols(min_col=ord(column) - 64, max_col=ord(column) - 64,
                                                        values_only=True)) if c is not None)
            self.assertGreaterEqual(sheet.column_dimensions[column].width, longest, column)

    def test_workbook_ids_are_text_in_every_form(self):
        expected = self.csv_rows()
        for form, eid in (("eid15", "{}{:0>12}"), ("spaced", "{} {:0>12}"), ("eid16", "{:0>4}{:0>12}")):
            with self.subTest(form=form):
                sheet = openpyxl.load_workbook(self.saved("--format", "xlsx", "--id-form", form,
                                                          "--date-form", "date")).active
                self.assertEqual([c.value for c in sheet[1]], ["INDEX", "TYPE", "EID", "TIME", "COUNTRY"])
                for row, (_, _, country, tid, _) in zip(sheet.iter_rows(min_row=2), expected):
                    self.assertEqual((row[2].data_type, row[2].value), ("s", eid.format(country, tid)))
                    if row[3].value is not None:
                        self.assertEqual(row[3].number_format, "dd/mm/yyyy")

    def test_nlis_file_reads_back_with_csv(self):
        expected = self.csv_rows()
        path = self.saved("--format", "nlis", "--from-pic", "3abcd123", "--to-pic", "NA123456",
                          "--nvd", "N1234567", "--date", "2021-08-01")
        with open(path, newline="") as f:
            rows = list(csv.reader(f))
        self.assertEqual(rows, [["%s %s" % (country, tid.zfill(12)), "3ABCD123", "NA123456", "N1234567",
                                 "01/08/2021"] for _, _, country, tid, _ in expected])

    def test_nlis_pic_file_reads_back_with_csv_each_tag_once(self):
        expected = self.csv_rows()
        path = self.saved("--format", "nlis-pic", "--pic", "3abcd123")
        with open(path, newline="") as f:
            rows = list(csv.reader(f))
        tags = ["%s %s" % (country, tid.zfill(12)) for _, _, country, tid, _ in expected]
        self.assertEqual(rows, [["3ABCD123", tag] for tag in dict.fromkeys(tags)])
        refused = self.export("--format", "nlis-pic")
        self.assertEqual(refused.returncode, 2, refused)
        self.assertTrue(refused.stderr.startswith("--pic is needed"), refused.stderr)

    def test_nait_export_of_2501_records_is_split_in_two_holding_every_row_once(self):
        self.reader.stop()
        self.reader = Reader(self.sim, self.folder, (), "--records", "2501")
        result = self.export("--format", "nait", "--sending", "123", "--receiving", "456",
                             "--date-received", "2020-09-14")
        self.assertEqual(result.returncode, 0, result)
        paths = result.stdout.split()
        self.assertEqual([p[-6:] for p in paths], ["_1.csv", "_2.csv"])
        self.assertEqual(paths[0][:-6], paths[1][:-6])
        ids = []
        for path, count in zip(paths, (2500, 1)):
            with open(path, newline="") as f:
                rows = list(csv.reader(f))
            self.assertEqual(rows[0], NAIT_HEADINGS)
            self.assertEqual(len(rows), count + 1)
            for row in rows[1:]:
                self.assertEqual(row[:2] + row[3:4] + row[5:], ["123", "456", "", "", "14/09/2020"])
                self.assertRegex(row[2], r"^\d{3,4} \d{12}$")
                ids.append(int(row[4]))
        self.assertEqual(ids, list(range(1, 2502)))

    def test_bad_registry_values_are_usage_errors_that_leave_no_file(self):
        for argv, option in ((("--format", "nlis", "--from-pic", "3ABCD12", "--to-pic", "NA123456"), "--from-pic"),
                             (("--format", "nait", "--sending", "12a", "--receiving", "4"), "--sending"),
                             (("--format", "nait", "--sending", "1", "--receiving", "4", "--date-sent",
                               "2020-02-30"), "--date-sent"),
                             (("--sending", "1",), "--sending")):
            with self.subTest(argv=argv):
                result = self.export(*argv)
                self.assertEqual((result.returncode, result.stdout), (2, ""), result)
                self.assertTrue(result.stderr.startswith(option), result.stderr)
        self.assertEqual([f for f in os.listdir(self.folder) if f.endswith(".csv")], [])

    def test_json_lines_agree_with_the_csv_and_carry_the_record_as_received(self):
        expected = self.csv_rows()
        path = self.saved("--format", "jsonl")
        self.assertRegex(os.path.basename(path), r"^\d{8}_\d{4}\.jsonl$")
        with open(path, "rb") as f:
            data = f.read()
        self.assertTrue(data.endswith(b"\n") and b"\r" not in data)
        lines = data.decode("utf-8").splitlines()
        self.assertEqual(len(lines), len(RECORDS))
        names = self.country_names()
        for line, raw, (index, kind, country, tid, when) in zip(lines, RECORDS, expected):
            record = json.loads(line)
            self.assertEqual(list(record), ["index", "type", "country", "country_name", "national_id", "eid",
                                            "time", "raw"])
            self.assertEqual((record["index"], record["type"]), (int(index), kind))
            self.assertEqual(record["country"], int(country))
            self.assertEqual(record["country_name"], names.get(int(country), ""))
            self.assertEqual(record["national_id"], tid)
            self.assertEqual(record["eid"], country + tid.zfill(12))
            self.assertEqual(record["raw"], raw)
            if when == "":
                self.assertIsNone(record["time"])
                continue
            self.assertEqual(record["time"], when.replace(" ", "T") + ZONE_OFFSET)
            # The same instant the reader stored.
            stamp = datetime.datetime.fromisoformat(record["time"]).timestamp()
            self.assertEqual(stamp, int(raw[24:], 16))

    def test_a_failed_export_leaves_a_workbook_of_the_rows_fetched(self):
        self.reader.stop()
        # The first block of ten is answered, then every answer is bad.
        self.reader = Reader(self.sim, self.folder, (), "--records", "25", "--fault", "GET_RECORDS:wrong-header:0:1")
        result = self.export("--format", "xlsx")
        self.assertEqual((result.returncode, result.stdout), (1, ""), result)
        self.assertIn("Only 10 of 25 records have been saved!", result.stderr)
        path = re.search(r"the rows fetched before the failure are in (.*\.xlsx)$", result.stderr, re.M).group(1)
        sheet = openpyxl.load_workbook(path).active
        self.assertEqual([c.value for c in sheet["A"]][1:], list(range(1, 11)))
        self.assertEqual(sheet.auto_filter.ref, "A1:G11")

    def test_a_workbook_that_cannot_be_started_leaves_no_file(self):
        # The workbook is built in a private folder under the temporary one.
        result = self.export("--format", "xlsx", TMPDIR=os.path.join(self.folder, "missing"))
        self.assertEqual((result.returncode, result.stdout), (1, ""), result)
        self.assertTrue(result.stderr.endswith("can not write file!\n"), result.stderr)
        self.assertEqual([f for f in os.listdir(self.folder) if f.endswith(".xlsx")], [])

    def test_delete_verifies_and_clears_after_any_format(self):
        for kind in ("xlsx", "jsonl"):
            with self.subTest(format=kind):
                self.reader.stop()
                self.reader = Reader(self.sim, self.folder, RECORDS)
                result = self.export("--format", kind, "--delete")
                self.assertEqual(result.returncode, 0, result)
                path = result.stdout.strip()
                self.assertTrue(path.endswith("." + kind), path)
                self.assertTrue(result.stderr.endswith(
                    "%d records saved in %s and deleted from the reader\n" % (len(RECORDS), path)), result.stderr)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--sim", required=True)
    parser.add_argument("--cli", required=True)
    args, rest = parser.parse_known_args()
    ExportFormatsTest.sim, ExportFormatsTest.cli = os.path.abspath(args.sim), os.path.abspath(args.cli)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
