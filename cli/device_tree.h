// Linux: the serial devices under a /dev and a /sys/class/tty, so tests can
// lay out a tree of their own.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/port_list.h"

struct DeviceTree {
    std::filesystem::path dev = "/dev";
    std::filesystem::path sysClassTty = "/sys/class/tty";
};

// Every tty with a device behind it (virtual consoles and pseudo-terminals
// have none), with its by-id name where one points at it.
std::vector<SerialPortName> ListSerialDevices(const DeviceTree& tree);

// The by-id links when there are any, else the ttyUSB* and ttyACM* nodes.
std::vector<std::string> ListUsbAdapters(const DeviceTree& tree);

// The latency timer in milliseconds that sysfs shows for the tty behind
// `port` (a by-id link is followed first); nothing where there is none.
std::optional<int> ReadLatencyTimer(const DeviceTree& tree, const std::string& port);
