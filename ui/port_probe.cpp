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

std::vector<std::string> g_portNames;

std::vector<std::string> ProbeCommPorts() {
    g_portNames.assign(1, std::string());
    std::vector<SerialPortName> ports = CandidateSerialPorts();
    for (const SerialPortName& port : ports) g_portNames.push_back(port.device + ":");
    std::vector<std::string> offered;
    for (size_t i = 1; i < g_portNames.size(); ++i) {
        if (OfferedUnopened(ports[i - 1])) {
            offered.push_back(g_portNames[i]);
            continue;
        }
        PortHandle port = nullptr;
        if (OpenCommPort(port, g_portNames[i]) == 0) offered.push_back(g_portNames[i]);
        ClosePort(port);
    }
    return offered;
}
