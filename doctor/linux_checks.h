// Linux: each check on its own, reading the machine a Host (host.h) points
// at. A check gives nothing where it has nothing to say.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "doctor/doctor.h"
#include "doctor/host.h"

// The udev rules Kavrin ships as an example.
extern const char* const kShippedUdevRules;

// Each serial port present, as kavrin-cli ports --long shows it.
std::vector<Finding> PortsPresent(const Host& host);

// USB devices that a kernel serial driver would serve (by modules.alias)
// and that have no port: the driver not loaded, not installed, or loaded
// and not serving them.
std::vector<Finding> PortlessUsbDevices(const Host& host);

// USB devices a brltty udev rule claims, where brltty is installed or
// running: it takes their port away a moment after plug-in.
std::vector<Finding> BrailleClaims(const Host& host);

// ModemManager running and free to probe `port` (a ttyACM port udev has
// not marked ID_MM_DEVICE_IGNORE).
std::optional<Finding> ModemManagerProbe(const Host& host, const std::string& port);

// The node's owner, group and mode against this process and its user: who
// may open it, and what the user lacks.
std::optional<Finding> NodeAccess(const Host& host, const std::string& port);

// The programs that have `port` open. With `busy` (an open was refused as
// busy) a holder whose descriptors cannot be read is reported too.
std::optional<Finding> PortHolder(const Host& host, const std::string& port, bool busy);

// The latency timer of an FTDI-type adapter.
std::optional<Finding> LatencyTimer(const Host& host, const std::string& port);
