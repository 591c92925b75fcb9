// Linux: the serial devices under a /dev and a /sys/class/tty, so tests can
// lay out a tree of their own.
//
// Everything here reads sysfs and /dev/serial/by-id only: no port is ever
// opened to be listed or described, since opening a tty raises DTR (some
// boards reset on it) and a port another program uses would get its
// settings changed under it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "link/port_list.h"

struct DeviceTree {
    std::filesystem::path dev = "/dev";
    std::filesystem::path sysClassTty = "/sys/class/tty";
};

// What sysfs tells about the hardware behind one tty.
struct TtyHardware {
    std::string driver;        // the kernel driver's module: ftdi_sio, cdc_acm, pl2303, 8250...
    std::string usbId;         // vendor:product of its USB device, 0403:6001; empty off USB
    std::string manufacturer;  // the USB device's own strings, where it has them
    std::string product;       // for a Bluetooth device, the name BlueZ knows it by
    std::string serial;
    std::string bluetoothAddress;  // an rfcomm tty's remote device: 00:11:22:33:44:55
    int channel = 0;               // and its RFCOMM channel
    std::optional<int> latencyMs;  // the FTDI-type latency timer
    // An 8250 port the kernel reserved without finding a UART there.
    bool placeholder = false;
};

// The hardware behind `port` (a by-id link is followed first); nothing for
// a tty without a device behind it (a pseudo-terminal, a virtual console).
// An rfcomm tty has none either, but sysfs gives its remote address and
// channel.
std::optional<TtyHardware> ReadTtyHardware(const DeviceTree& tree, const std::string& port);

// Every tty with hardware behind it, in natural order, with its by-id name
// where one points at it. Placeholder 8250 ports are left out.
std::vector<SerialPortName> ListSerialDevices(const DeviceTree& tree);

// The ports on USB, each by its by-id name where it has one, and the
// rfcomm ttys: a reader over Bluetooth counts as an adapter.
std::vector<std::string> ListUsbAdapters(const DeviceTree& tree);

// The ports a window offers, best first: every port with a by-id name,
// then the other USB ports and the rfcomm ttys, then the rest.
std::vector<SerialPortName> ListOfferedPorts(const DeviceTree& tree);

// The same for this computer, followed by the paired Bluetooth devices
// that offer the Serial Port service, by their "bt:" names.
std::vector<SerialPortName> OfferedPorts();

// "0403:6001  FTDI  FT232R USB UART  serial A50285BI  driver ftdi_sio" or
// "Bluetooth 00:11:22:33:44:55 channel 1  Reader  driver rfcomm": the
// fields there are, two spaces apart.
std::string LongDescription(const TtyHardware& hardware);
// "FT232R USB UART, ftdi_sio" or "Reader, Bluetooth": what a window shows
// beside the path.
std::string ShortDescription(const TtyHardware& hardware);
// ShortDescription of this computer's `port`; empty where sysfs has nothing.
std::string BriefPortDescription(const std::string& port);

// The first line of a sysfs attribute, trailing spaces cut; empty where
// there is none.
std::string SysfsAttribute(const std::filesystem::path& file);

// The latency timer in milliseconds that sysfs shows for the tty behind
// `port` (a by-id link is followed first); nothing where there is none.
std::optional<int> ReadLatencyTimer(const DeviceTree& tree, const std::string& port);
