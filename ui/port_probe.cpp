#include "ui/port_probe.h"

#include <cstdlib>

#include "link/port_list.h"
#include "link/serial_port.h"

namespace {

const char* const kComPrefix = "COM";
constexpr int kAlwaysProbedCount = 18;

// Opening an outgoing Bluetooth port connects to its device, which takes
// seconds in range and far longer out of it: past the ports the window has
// always tried, such a port is offered unopened and connects when chosen.
bool OfferedUnopened(const SerialPortName& port) {
    return port.bluetooth && port.device.starts_with(kComPrefix) &&
           std::atoi(port.device.c_str() + std::char_traits<char>::length(kComPrefix)) > kAlwaysProbedCount;
}

}  // namespace

std::vector<std::string> ProbeCommPorts() {
    std::vector<std::string> offered;
    for (const SerialPortName& candidate : CandidateSerialPorts()) {
        const std::string name = candidate.device + ":";
        if (OfferedUnopened(candidate)) {
            offered.push_back(name);
            continue;
        }
        PortHandle port = nullptr;
        if (OpenCommPort(port, name) == 0) offered.push_back(name);
        ClosePort(port);
    }
    return offered;
}
