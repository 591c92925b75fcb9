#!/usr/bin/env python3
"""A stand-in for bluetoothd on the bus DBUS_SYSTEM_BUS_ADDRESS names: it
owns org.bluez and answers GetManagedObjects as bluetoothd does, with an
adapter, a paired reader offering the Serial Port service (READER, "Reader
4711"), a paired headset without it and a reader in range never paired.
Prints "ready" once it answers; runs until killed. Needs Debian's
python3-dbus and python3-gi.
"""
import os

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

SERIAL_PORT = "00001101-0000-1000-8000-00805f9b34fb"
AUDIO_SINK = "0000110b-0000-1000-8000-00805f9b34fb"
READER = "00:1A:7D:DA:71:13"
HEADSET = "00:1A:7D:DA:71:14"
STRANGER = "00:1A:7D:DA:71:15"


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


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(os.environ["DBUS_SYSTEM_BUS_ADDRESS"])
    name = dbus.service.BusName("org.bluez", bus)
    Manager(bus, "/")
    print("ready", flush=True)
    GLib.MainLoop().run()
    del name


if __name__ == "__main__":
    main()
