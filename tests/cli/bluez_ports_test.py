#!/usr/bin/env python3
"""kavrin-cli lists the paired readers BlueZ knows, read over D-Bus.

A private bus stands in for the system bus (DBUS_SYSTEM_BUS_ADDRESS) and
tests/bluez_standin.py for bluetoothd on it: an adapter, a paired reader
offering the Serial Port service, a paired headset without it, and a
reader in range that was never paired. Only the
paired reader is listed, by its bt: name and with its name, and the
automatic choice takes it. Without bluetoothd, and without any bus,
nothing is listed and nothing fails. Prints "ok NAME" or "FAILED NAME:
why" for each check.
"""
import argparse
import shutil
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
STANDIN = os.path.join(HERE, "..", "bluez_standin.py")
READER = "00:1A:7D:DA:71:13"
OTHERS = ["00:1A:7D:DA:71:14", "00:1A:7D:DA:71:15"]


def cli(args, env, *argv):
    return subprocess.run([args.cli, *argv], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                          timeout=60)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    args = parser.parse_args()
    failed = 0

    def check(name, ok, why):
        nonlocal failed
        print(("ok " + name) if ok else "FAILED %s: %s" % (name, why))
        failed += 0 if ok else 1

    work = tempfile.mkdtemp(prefix="kavrin-bluez-")
    address = "unix:path=" + os.path.join(work, "bus")
    daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--address=" + address],
                              stdout=subprocess.DEVNULL)
    env = dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS=address)
    bluez = None
    try:
        for _ in range(100):
            if os.path.exists(os.path.join(work, "bus")):
                break
            time.sleep(0.05)
        without = cli(args, env, "ports", "--long")
        check("no-bluetoothd-lists-no-device", without.returncode == 0 and "bt:" not in without.stdout,
              (without.stdout, without.stderr))

        bluez = subprocess.Popen([sys.executable, STANDIN], env=env, stdout=subprocess.PIPE, text=True)
        check("fake-bluez-started", bluez.stdout.readline().strip() == "ready", "no ready line")
        short = cli(args, env, "ports").stdout.splitlines()
        check("paired-serial-port-device-listed", ("bt:" + READER) in short
              and not any(a in l for l in short for a in OTHERS), short)
        long = [l for l in cli(args, env, "ports", "--long").stdout.splitlines() if l.startswith("bt:")]
        check("paired-device-described-with-its-name",
              long == ["bt:%s  Bluetooth %s  Reader 4711" % (READER, READER)], long)
        chosen = cli(args, env, "info")
        check("paired-reader-is-the-one-adapter", "using bt:" + READER in chosen.stderr
              and chosen.returncode == 1, (chosen.returncode, chosen.stderr))
    finally:
        if bluez:
            bluez.kill()
            bluez.wait()
        daemon.kill()
        daemon.wait()

    nobus = cli(args, dict(os.environ, DBUS_SYSTEM_BUS_ADDRESS="unix:path=" + os.path.join(work, "none")), "ports")
    check("no-system-bus-lists-no-device", nobus.returncode == 0 and "bt:" not in nobus.stdout,
          (nobus.stdout, nobus.stderr))
    shutil.rmtree(work, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
