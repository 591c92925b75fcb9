// The serial ports this computer has, found without sending them anything.
//
// On Linux the devices come from sysfs (every tty backed by hardware,
// built-in UARTs included) and /dev/serial/by-id; on Windows from the
// present COM ports the registry lists under HARDWARE\DEVICEMAP\SERIALCOMM.
#pragma once

#include <string>
#include <vector>

struct SerialPortName {
    std::string device;  // what OpenCommPort takes: /dev/ttyUSB0, COM3
    std::string byId;    // the stable /dev/serial/by-id name, where there is one
};

// Every serial port present, in natural order (ttyS2 before ttyS10).
std::vector<SerialPortName> PresentSerialPorts();

// The ports to open to find those that work, in natural order: the present
// ones, and on Windows COM1 to COM18 besides, which the window has always
// tried whether the registry lists them or not.
std::vector<SerialPortName> CandidateSerialPorts();

// The ports worth trying when the user named none: USB adapters only. On
// Linux their by-id names, else /dev/ttyUSB* and /dev/ttyACM*; on Windows
// the present COM ports of USB serial drivers (usb_serial_device.h).
std::vector<std::string> AdapterPorts();

// What a user who may not open a port can do about it; empty where
// nothing applies.
std::string AccessDeniedHint();
