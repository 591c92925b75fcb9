// Linux: the serial devices under a /dev and a /sys/class/tty, so tests can
// lay out a tree of their own.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/port_list.h"

struct DeviceTree {
    std::filesystem::path dev = "/dev";
    std::filesystem::path sysClassTty = "/sys/class/tty";
};

// Every tty with a device behind it (virtual consoles and pseudo-terminals
// have none), with its by-id name where one points at it.
std::vector<SerialPortName> ListSerialDevices(const DeviceTree& tree);

// The by-id links when there are any, else the ttyUSB* and ttyACM* nodes.
std::vector<std::string> ListUsbAdapters(const DeviceTree& tree);

// The ports a window offers, best first: every port with a by-id name, then
// the ttyUSB* and ttyACM* nodes without one, then the other ports for which
// `opens` is true. Adapters are listed without being opened: opening one
// raises DTR, which resets some devices.
std::vector<SerialPortName> ListOfferedPorts(const DeviceTree& tree,
                                             const std::function<bool(const std::string&)>& opens);

// The same for this computer; a port opens when OpenCommPort accepts it.
std::vector<SerialPortName> OfferedPorts();

// The latency timer in milliseconds that sysfs shows for the tty behind
// `port` (a by-id link is followed first); nothing where there is none.
std::optional<int> ReadLatencyTimer(const DeviceTree& tree, const std::string& port);
