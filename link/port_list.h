// The serial ports this computer has, found without sending them anything.
//
// On Linux the devices come from sysfs (every tty backed by hardware,
// built-in UARTs included, the 8250 driver's empty placeholders left out)
// and /dev/serial/by-id, and nothing is opened; on Windows from the
// present COM ports the registry lists under HARDWARE\DEVICEMAP\SERIALCOMM.
#pragma once

#include <string>
#include <vector>

#include "link/serial_port.h"

struct SerialPortName {
    std::string device;  // what OpenCommPort takes: /dev/ttyUSB0, COM3, bt:00:11:22:33:44:55
    std::string byId;    // the stable /dev/serial/by-id name, where there is one
    // A Bluetooth link: opening it may first have to reach the device by radio.
    bool bluetooth = false;
};

// Every serial port present, in natural order (ttyS2 before ttyS10).
std::vector<SerialPortName> PresentSerialPorts();

// The ports to open to find those that work, in natural order: the present
// ones, and on Windows COM1 to COM18 besides, which the window has always
// tried whether the registry lists them or not. On Linux the paired
// Bluetooth devices that offer the Serial Port service follow, by their
// "bt:" names (bluez_devices.h).
std::vector<SerialPortName> CandidateSerialPorts();

// The ports worth trying when the user named none: USB adapters and
// readers over Bluetooth. On Linux the ttys sysfs puts on USB, by their
// by-id names where they have them, the rfcomm ttys, and the paired Serial
// Port devices no rfcomm tty is bound to; on Windows the present COM ports
// of USB serial drivers (usb_serial_device.h).
std::vector<std::string> AdapterPorts();

// What the system tells about `device` without opening it, on one line,
// for telling adapters apart: on Linux sysfs's USB vendor:product, strings,
// serial number and driver, or a Bluetooth device's address, channel and
// the name BlueZ knows it by; on Windows SetupAPI's (com_port_device.h), or
// where SetupAPI knows nothing of the port the kernel device that
// SERIALCOMM names, and the driver that gives away. Empty where the
// system tells nothing.
std::string DescribePort(const std::string& device);

// Whether `device` can be used, as far as a listing finds out: on Linux
// from its permissions alone, nothing opened; on Windows by opening and
// closing it, as the window's probe does, but for a Bluetooth port, whose
// opening would connect to its device. Failure None when it can.
OpenStatus CheckPortAccess(const std::string& device);
