#!/usr/bin/env python3
"""Runs kavrin-cli.exe under Wine as a person types it, against virtual readers.

Usage: run_cli_tests.py --sim KAVRIN_SIM --prefix WINEPREFIX --cli kavrin-cli.exe
                        --linux-cli kavrin-cli [-k PATTERN ...]

COM1 to COM18 and COM23 point at fixed paths in a private folder once per
run; a case's reader puts its port's link at the path of the COM port it
stands behind. One Wine session lasts the whole run, so each command costs
a fraction of a second; a case finds it ended, should it end, instead of
running in sessions that come and go. What a case plants in the registry
is gone before the next case starts. The CSV file is compared byte for
byte with the one the Linux build writes from a reader holding the same
records.
"""

import argparse
import calendar
import io
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import wine_env  # noqa: E402
from wine_env import SERIALCOMM, reg_value  # noqa: E402

# A zone east of UTC with a half hour, the same for both builds: record times
# and file names are local time, so a program writing UTC would differ.
ZONE = "KVT-5:30"
ZONE_OFFSET = 5 * 3600 + 30 * 60
RECORDS = "40"
# Far above any port time-out: a command that takes longer has hung.
COMMAND_TIMEOUT = 120
FTDIBUS = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS"
BTHENUM = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\BTHENUM"
SERIAL_PORT_SERVICE = "{00001101-0000-1000-8000-00805f9b34fb}_LOCALMFG&0002"
USB_ADAPTER = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\USB\\VID_0403&PID_6001"
PORTS_CLASS = "{4d36e978-e325-11ce-bfc1-08002be10318}"
# Cases list COM9 and COM23 under other drivers' names in SERIALCOMM, in
# place of Wine's own.
OTHER_ENTRIES = ["\\Device\\VCP0", "\\Device\\BthModem0", "\\Device\\BthModem1"]
# Every case starts from this: no device a case makes up, SERIALCOMM as Wine made it.
PLANTS = wine_env.RegistryPlants(
    ["[-%s]" % tree for tree in (FTDIBUS, BTHENUM, USB_ADAPTER)] + ["[%s]" % SERIALCOMM]
    + [reg_value(name, None) for name in OTHER_ENTRIES]
    + [reg_value(wine_env.serialcomm_entry(n), "COM%d" % n) for n in (9, wine_env.LISTED_PORT)])
CSV_NAME = re.compile(r"^\d{8}_\d{4}\.csv$")
XLSX_NAME = re.compile(r"^\d{8}_\d{4}\.xlsx$")


class Session:
    """What every case shares: set by main()."""
    sim = cli = linux_cli = links = env = None
    holder = None  # the program that holds the Wine session (wine_env.hold_session)


def windows_path(path):
    """The name a Windows program gives a Unix path under Wine (drive Z: is /)."""
    return "Z:" + path.replace("/", "\\")


class CliRun:
    def __init__(self, code, out, err):
        self.code, self.out, self.err = code, out, err

    def __repr__(self):
        return "exit %d, out %r, err %r" % (self.code, self.out, self.err)


def run(argv, cwd=None, program=None):
    """Runs kavrin-cli.exe (or `program` natively); gives exit status and output.

    The output goes through files, not pipes: a Wine service started on the
    way would hold a pipe open for as long as the server lives."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        if program:
            command, env = [program] + argv, dict(os.environ, TZ=ZONE)
        else:
            command, env = wine_env.wine_command("wine", Session.cli, *argv), Session.env
        code = subprocess.run(command, env=env, cwd=cwd, stdout=out, stderr=err, timeout=COMMAND_TIMEOUT).returncode
        out.seek(0)
        err.seek(0)
        return CliRun(code, out.read().decode(), err.read().decode())


def until(condition, seconds=COMMAND_TIMEOUT):
    """Whether `condition` came true within `seconds`, looked at every tenth of a second."""
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.1)
    return True


def read_back(stream):
    """What a program has written so far into the temporary file `stream`."""
    stream.seek(0)
    return stream.read().decode()


class CliTest(unittest.TestCase):
    def setUp(self):
        self.assertSessionHeld()
        PLANTS.restore(Session.env)
        self.readers = []
        self.held = []
        self.workdir = tempfile.mkdtemp(prefix="kavrin-cli-case-")

    def tearDown(self):
        for fd in self.held:
            os.close(fd)
        for sim in self.readers:
            sim.stop()
        shutil.rmtree(self.workdir, ignore_errors=True)
        self.assertSessionHeld()

    def assertSessionHeld(self):
        self.assertIsNone(Session.holder.poll(), "the run's Wine session has ended")

    def plant(self, lines):
        """Registry state for this case alone (registry file lines)."""
        PLANTS.plant(Session.env, lines)

    def reader(self, number, *sim_args):
        """A virtual reader behind COM<number>."""
        sim = wine_env.Sim(Session.sim, os.path.join(Session.links, "com%d" % number), *sim_args)
        self.readers.append(sim)
        return sim

    def assertNothingSent(self, sim):
        self.assertEqual(sim.state()["received"], "0")

    def test_info_prints_the_version_and_logs_on_standard_error(self):
        sim = self.reader(3, "--firmware-version", "2.10")
        result = run(["-p", "COM3", "info"])
        self.assertEqual((result.code, result.out), (0, "2.10\r\n"), result)
        self.assertEqual(result.err, "CommPort open success!\r\nReader firmvare version:2.10\r\n")
        self.assertEqual(sim.received(), ["0A FF 02 22 D3"])
        self.assertEqual(sim.state()["rejected"], "0")

    def test_port_above_nine_and_port_after_the_subcommand(self):
        self.reader(12, "--firmware-version", "2.11")
        for argv in (["-p", "COM12", "info"], ["info", "--port", "com12"]):
            result = run(argv)
            self.assertEqual((result.code, result.out), (0, "2.11\r\n"), (argv, result))

    def test_count_prints_the_number_stored(self):
        self.reader(4, "--records", "7")
        result = run(["-p", "COM4", "count"])
        self.assertEqual((result.code, result.out), (0, "7\r\n"), result)
        self.assertTrue(result.err.endswith("Get records cnt success.\r\n"), result)

    def test_export_writes_the_same_csv_file_as_the_linux_build(self):
        self.reader(5, "--records", RECORDS)
        folder = os.path.join(self.workdir, "wine")
        os.mkdir(folder)
        before = time.time()
        result = run(["-p", "COM5", "export", "-o", windows_path(folder)])
        after = time.time()
        self.assertEqual(result.code, 0, result)
        self.assertIn("Data has been saved!\r\n", result.err)
        files = os.listdir(folder)
        self.assertEqual(len(files), 1, files)
        self.assertEqual(result.out, windows_path(os.path.join(folder, files[0])) + "\r\n")
        # The name is the local time of the export, to the minute.
        minutes = {time.strftime("%Y%m%d_%H%M.csv", time.gmtime(t + ZONE_OFFSET)) for t in (before, after)}
        self.assertIn(files[0], minutes)

        expected = self.linux_export(RECORDS)
        with open(os.path.join(folder, files[0]), "rb") as wine_file:
            self.assertEqual(wine_file.read(), expected)

    def linux_export(self, records, *options, name_pattern=CSV_NAME):
        """The file the Linux build writes from a reader with the same records."""
        sim = wine_env.Sim(Session.sim, os.path.join(self.workdir, "linux-port"), "--records", records)
        self.readers.append(sim)
        folder = os.path.join(self.workdir, "linux")
        os.mkdir(folder)
        result = run(["-p", sim.path, "export", "-o", folder, *options], program=Session.linux_cli)
        self.assertEqual(result.code, 0, result)
        (name,) = os.listdir(folder)
        self.assertRegex(name, name_pattern)
        with open(os.path.join(folder, name), "rb") as linux_file:
            return linux_file.read()

    def test_export_xlsx_writes_the_same_cells_as_the_linux_build(self):
        import openpyxl
        self.reader(14, "--records", RECORDS)
        folder = os.path.join(self.workdir, "wine")
        os.mkdir(folder)
        result = run(["-p", "COM14", "export", "--format", "xlsx", "-o", windows_path(folder)])
        self.assertEqual(result.code, 0, result)
        self.assertIn("Data has been saved!\r\n", result.err)
        (name,) = os.listdir(folder)
        self.assertRegex(name, XLSX_NAME)

        def cells(workbook):
            sheet = openpyxl.load_workbook(io.BytesIO(workbook)).active
            return [[(c.data_type, c.value) for c in row] for row in sheet.iter_rows()], sheet.freeze_panes

        with open(os.path.join(folder, name), "rb") as wine_file:
            wine_cells = cells(wine_file.read())
        self.assertEqual(len(wine_cells[0]), int(RECORDS) + 1)
        self.assertEqual(wine_cells, cells(self.linux_export(RECORDS, "--format", "xlsx", name_pattern=XLSX_NAME)))

    def test_export_into_the_working_folder_prints_the_file_name(self):
        self.reader(6, "--records", "3")
        result = run(["-p", "COM6", "export"], cwd=self.workdir)
        self.assertEqual(result.code, 0, result)
        self.assertRegex(result.out.strip(), CSV_NAME)
        self.assertEqual(os.listdir(self.workdir), [result.out.strip()])

    def test_missing_port_is_named(self):
        result = run(["-p", "COM40", "info"])
        self.assertEqual((result.code, result.out), (1, ""), result)
        self.assertTrue(result.err.startswith("CommPort open failed!\r\n"), result)
        self.assertIn("COM40: no such port", result.err)

    def test_busy_port_is_named_and_nothing_is_sent(self):
        sim = self.reader(7)
        self.held.append(wine_env.hold_exclusively(sim.path))
        result = run(["-p", "COM7", "info"])
        self.assertEqual((result.code, result.out), (1, ""), result)
        self.assertTrue(result.err.startswith("CommPort open failed!\r\n"), result)
        self.assertIn("COM7 is held by another program: close the program that uses it", result.err)
        self.assertNothingSent(sim)

    def test_silent_reader_fails_with_the_connections_own_line(self):
        sim = self.reader(8, "--fault", "GET_VERSION:silent")
        result = run(["-p", "COM8", "info"])
        self.assertEqual((result.code, result.out), (1, ""), result)
        self.assertTrue(result.err.startswith("CommPort open success!\r\nConnect reader failed!\r\n"), result)
        self.assertIn("COM8: nothing answered in 2.8 s: is the reader switched on?", result.err)
        self.assertEqual(sim.state()["received"], "1")

    def test_ports_lists_the_mapped_ports_that_open(self):
        self.reader(2)
        self.reader(11)
        self.reader(wine_env.LISTED_PORT)
        result = run(["ports"])
        self.assertEqual(result.code, 0, result)
        self.assertEqual(result.out.split(), ["COM2", "COM11", "COM23"], result)
        for sim in self.readers:
            self.assertNothingSent(sim)

    def test_ports_long_says_what_the_registry_tells_of_each_port(self):
        self.reader(9)
        # COM9 as an FTDI driver lists it, in place of Wine's own entry.
        self.plant(["[%s]" % SERIALCOMM, reg_value(wine_env.serialcomm_entry(9), None), reg_value("\\Device\\VCP0", "COM9"),
                    "[%s\\VID_0403+PID_6001+A50285BIA\\0000\\Device Parameters]" % FTDIBUS,
                    reg_value("PortName", "COM9"), reg_value("LatencyTimer", 16)])
        result = run(["ports", "--long"])
        self.assertEqual(result.code, 0, result)
        lines = [line for line in result.out.splitlines() if line.startswith("COM9 ")]
        self.assertEqual(lines, ["COM9  \\Device\\VCP0  driver FTDI (ftdibus)  latency timer 16 ms"], result)
        self.assertNothingSent(self.readers[0])

    def test_ports_lists_bluetooth_ports_unopened_with_their_direction(self):
        # A paired reader's two ports as Windows lists them: COM23 outgoing,
        # its device's address in its instance, COM24 incoming. Neither has
        # a reader behind it: only a port left unopened can be listed.
        ports = {wine_env.LISTED_PORT: ("\\Device\\BthModem0", "7&2a1c7b4b&0&001A7DDA7113_C00000000"),
                 wine_env.LISTED_PORT + 1: ("\\Device\\BthModem1", "7&2a1c7b4b&0&000000000000_00000000")}
        lines = ["[%s]" % SERIALCOMM, reg_value(wine_env.serialcomm_entry(wine_env.LISTED_PORT), None)]
        lines += [reg_value(device, "COM%d" % number) for number, (device, _) in ports.items()]
        for number, (_, instance) in ports.items():
            lines += ["[%s\\%s\\%s\\Device Parameters]" % (BTHENUM, SERIAL_PORT_SERVICE, instance),
                      reg_value("PortName", "COM%d" % number)]
        self.plant(lines)
        result = run(["ports", "--long"])
        self.assertEqual(result.code, 0, result)
        self.assertEqual([line for line in result.out.splitlines() if line.startswith(("COM23", "COM24"))], [
            "COM23  \\Device\\BthModem0  driver Bluetooth (bthmodem)  outgoing to 00:1A:7D:DA:71:13",
            "COM24  \\Device\\BthModem1  driver Bluetooth (bthmodem)  incoming"], result)

    def test_ports_long_and_doctor_name_a_port_as_device_manager_does(self):
        self.reader(9)
        # An FTDI adapter of the Ports class as SetupAPI finds it in the registry.
        device = USB_ADAPTER + "\\A50285BI"
        self.plant(["[%s]" % device, reg_value("ClassGUID", PORTS_CLASS),
                    reg_value("FriendlyName", "USB Serial Port (COM9)"), reg_value("Service", "FTDIBUS"),
                    "[%s\\Device Parameters]" % device, reg_value("PortName", "COM9")])
        listed = run(["ports", "--long"])
        doctor = run(["-p", "COM9", "doctor"])
        described = "COM9  USB Serial Port (COM9)  0403:6001  serial A50285BI  driver FTDIBUS"
        self.assertEqual(listed.code, 0, listed)
        self.assertIn(described, listed.out.splitlines(), listed)
        self.assertEqual(doctor.code, 0, doctor)
        self.assertEqual(doctor.out.splitlines()[-1], "COM9: the reader answered: firmware version 1.0", doctor)
        self.assertIn(described, doctor.out.splitlines(), doctor)

    def test_without_a_port_only_usb_adapters_are_looked_at(self):
        # Under Wine every COM port is a \Device\Serial<n>, as built-in ports
        # are on Windows: none is an adapter, and none is sent anything.
        sim = self.reader(9, "--firmware-version", "2.10")
        result = run(["info"])
        self.assertEqual((result.code, result.out), (1, ""), result)
        self.assertIn("no USB serial adapter or Bluetooth reader found", result.err)
        self.assertNothingSent(sim)

        # The same port listed by an FTDI driver is an adapter, and used.
        self.plant(["[%s]" % SERIALCOMM, reg_value("\\Device\\VCP0", "COM9")])
        result = run(["info"])
        self.assertEqual((result.code, result.out), (0, "2.10\r\n"), result)
        self.assertTrue(result.err.startswith("kavrin-cli: using COM9\r\n"), result)

    def test_info_reports_the_ftdi_drivers_latency_timer_of_its_port(self):
        self.reader(14, "--firmware-version", "2.10")
        # Two FTDI adapters as the driver records them; only one is COM14.
        adapters = {"VID_0403+PID_6001+A50285BIA": ("COM15", 1), "VID_0403+PID_6015+DK0AB1C2A": ("COM14", 16)}
        lines = []
        for device, (port, ms) in adapters.items():
            lines += ["[%s\\%s\\0000\\Device Parameters]" % (FTDIBUS, device), reg_value("PortName", port),
                      reg_value("LatencyTimer", ms)]
        self.plant(lines)
        result = run(["-p", "com14", "info"])
        self.assertEqual((result.code, result.out), (0, "2.10\r\n"), result)
        self.assertTrue(result.err.endswith(
            "kavrin-cli: com14: adapter latency timer: 16 ms\r\n"
            "kavrin-cli: each answer waits up to 16 ms in the adapter; lower it to 1 ms in Device Manager: "
            "Ports (COM & LPT) > COM14 > Properties > Port Settings > Advanced > Latency Timer\r\n"), result)

    def test_sync_time_sets_the_readers_clock_to_local_time(self):
        sim = self.reader(10)
        before = time.time()
        result = run(["-p", "COM10", "sync-time"])
        after = time.time()
        self.assertEqual((result.code, result.out), (0, ""), result)
        self.assertTrue(result.err.endswith("Sync time success.\r\n"), result)
        year, month, day, hour, minute, second = (int(b, 16) for b in sim.state()["clock"].split())
        # The clock's fields, read back as local time in the zone.
        set_at = calendar.timegm((2000 + year, month, day, hour, minute, second)) - ZONE_OFFSET
        self.assertGreaterEqual(set_at, int(before) - 1)
        self.assertLessEqual(set_at, after + 1)

    def test_watch_downloads_a_reader_that_starts_answering(self):
        sim = self.reader(15, "--records", RECORDS, "--fault", "GET_VERSION:silent")
        folder = os.path.join(self.workdir, "wine")
        os.mkdir(folder)
        argv = ["--book", windows_path(os.path.join(self.workdir, "records.db")), "watch", "--port", "COM15",
                "--every", "1", "-o", windows_path(folder)]
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            watch = subprocess.Popen(wine_env.wine_command("wine", Session.cli, *argv), env=Session.env,
                                     stdout=out, stderr=err)
            try:
                # Silent at first: tried, and nothing read.
                self.assertTrue(until(lambda: int(sim.state()["received"]) >= 1), "the port was never tried")
                sim.command("clear-faults")
                self.assertTrue(until(lambda: "download finished" in read_back(err)), read_back(err))
                watch.send_signal(signal.SIGINT)
                code = watch.wait(timeout=COMMAND_TIMEOUT)
            finally:
                if watch.poll() is None:
                    watch.kill()
                    watch.wait()
            said, printed = read_back(err), read_back(out)
        (name,) = os.listdir(folder)
        path = windows_path(os.path.join(folder, name))
        self.assertIn("COM15: download finished: %s records saved in %s\r\n" % (RECORDS, path), said)
        self.assertEqual(printed, path + "\r\n")
        self.assertEqual(code, 130, said)
        with open(os.path.join(folder, name), "rb") as wine_file:
            self.assertEqual(wine_file.read(), self.linux_export(RECORDS))

    def test_power_down_is_set_then_read(self):
        sim = self.reader(13)
        result = run(["-p", "COM13", "power-down", "25"])
        self.assertEqual((result.code, result.out), (0, ""), result)
        result = run(["-p", "COM13", "power-down"])
        self.assertEqual((result.code, result.out), (0, "25\r\n"), result)
        self.assertEqual(sim.state()["rejected"], "0")

def main():
    parser = argparse.ArgumentParser()
    for name in ("--sim", "--prefix", "--cli", "--linux-cli"):
        parser.add_argument(name, required=True)
    parser.add_argument("-k", dest="patterns", action="append")
    args = parser.parse_args()
    loader = unittest.TestLoader()
    loader.testNamePatterns = ["*%s*" % p for p in args.patterns] if args.patterns else None
    cases = loader.loadTestsFromTestCase(CliTest)

    started = time.monotonic()
    prefix = os.path.abspath(args.prefix)
    Session.sim, Session.cli, Session.linux_cli = (os.path.abspath(p) for p in (args.sim, args.cli, args.linux_cli))
    wine_env.ensure_prefix(prefix)
    Session.links = tempfile.mkdtemp(prefix="kavrin-cli-ports-")
    wine_env.map_ports(prefix, {n: os.path.join(Session.links, "com%d" % n)
                                for n in [*range(1, 19), wine_env.LISTED_PORT]})
    host_ports = wine_env.hold_host_ports()
    Session.env = dict(wine_env.wine_environment(prefix), TZ=ZONE)
    # One session for the whole run; the services its holder starts get no output to hold.
    Session.holder = wine_env.hold_session(Session.env)
    try:
        subprocess.run(wine_env.wine_command("wine", "cmd", "/c", "exit"), env=Session.env, check=True,
                       timeout=COMMAND_TIMEOUT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        print("Wine session ready in %.1f s" % (time.monotonic() - started), flush=True)
        result = unittest.TextTestRunner(verbosity=2).run(cases)
        PLANTS.restore(Session.env)
    finally:
        Session.holder.stdin.close()
        subprocess.run(wine_env.wine_command("wineserver", "-k"), env=Session.env, timeout=60)
        Session.holder.wait()
        shutil.rmtree(Session.links, ignore_errors=True)
        for fd in host_ports:
            os.close(fd)
    print("%d cases in %.1f s" % (result.testsRun, time.monotonic() - started))
    return 0 if result.wasSuccessful() and result.testsRun > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
