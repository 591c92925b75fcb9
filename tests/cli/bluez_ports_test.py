#!/usr/bin/env python3
"""kavrin-cli lists the paired readers BlueZ knows, read over D-Bus.

A private bus stands in for the system bus (DBUS_SYSTEM_BUS_ADDRESS) and a
small org.bluez service on it answers GetManagedObjects as bluetoothd does:
an adapter, a paired reader offering the Serial Port service, a paired
headset without it, and a reader in range that was never paired. Only the
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

SERIAL_PORT = "00001101-0000-1000-8000-00805f9b34fb"
AUDIO_SINK = "0000110b-0000-1000-8000-00805f9b34fb"
READER = "00:1A:7D:DA:71:13"
HEADSET = "00:1A:7D:DA:71:14"
STRANGER = "00:1A:7D:DA:71:15"


def serve():
    """The org.bluez stand-in, until killed."""
    import dbus
    import dbus.service
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib

    def device(address, name, paired, uuids):
        return {"org.freedesktop.DBus.Introspectable": {},
                "org.bluez.Device1": {"Address": address, "Name": name, "Paired": dbus.Boolean(paired),
                                      "UUIDs": dbus.Array(uuids, signature="s"), "RSSI": dbus.Int16(-60),
                                      "Class": dbus.UInt32(0x1f00), "Adapter": dbus.ObjectPath("/org/bluez/hci0")}}

    class Manager(dbus.service.Object):
        @dbus.service.method("org.freedesktop.DBus.ObjectManager", out_signature="a{oa{sa{sv}}}")
        def GetManagedObjects(self):
            return {
                "/org/bluez/hci0": {"org.bluez.Adapter1": {"Address": "00:AA:BB:CC:DD:EE", "Powered": True}},
                "/org/bluez/hci0/dev_00_1A_7D_DA_71_13": device(READER, "Reader 4711", True, [SERIAL_PORT]),
                "/org/bluez/hci0/dev_00_1A_7D_DA_71_14": device(HEADSET, "Headset", True, [AUDIO_SINK]),
                "/org/bluez/hci0/dev_00_1A_7D_DA_71_15": device(STRANGER, "Other reader", False, [SERIAL_PORT]),
            }

    DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(os.environ["DBUS_SYSTEM_BUS_ADDRESS"])
    name = dbus.service.BusName("org.bluez", bus)
    Manager(bus, "/")
    print("ready", flush=True)
    GLib.MainLoop().run()
    del name


def cli(args, env, *argv):
    return subprocess.run([args.cli, *argv], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                          timeout=60)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli")
    parser.add_argument("--serve", action="store_true")
    args = parser.parse_args()
    if args.serve:
        serve()
        return 0
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

        bluez = subprocess.Popen([sys.executable, __file__, "--serve"], env=env, stdout=subprocess.PIPE, text=True)
        check("fake-bluez-started", bluez.stdout.readline().strip() == "ready", "no ready line")
        short = cli(args, env, "ports").stdout.splitlines()
        check("paired-serial-port-device-listed", ("bt:" + READER) in short
              and not any(a in l for l in short for a in (HEADSET, STRANGER)), short)
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
