// Linux: the Bluetooth devices BlueZ knows, read from bluetoothd over the
// system D-Bus (org.bluez.Device1's Address, Name, Paired and UUIDs).
//
// Reading never starts bluetoothd and never waits long: without a system
// bus, without bluetoothd, or when it does not answer within a second,
// the list is empty and nothing fails.
#pragma once

#include <string>
#include <vector>

struct BluezDevice {
    std::string address;  // as BlueZ writes it: 00:11:22:33:44:55
    std::string name;     // the device's own name; empty where it gave none
    bool paired = false;
    bool serialPort = false;  // offers the Serial Port service
};

std::vector<BluezDevice> BluezDevices();
