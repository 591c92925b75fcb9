#include "ui/port_probe.h"

#include "link/port_list.h"
#include "link/serial_port.h"

std::vector<std::string> g_portNames;

std::vector<std::string> ProbeCommPorts() {
    g_portNames.assign(1, std::string());
    for (const SerialPortName& port : CandidateSerialPorts()) g_portNames.push_back(port.device + ":");
    std::vector<std::string> opened;
    for (size_t i = 1; i < g_portNames.size(); ++i) {
        PortHandle port = nullptr;
        if (OpenCommPort(port, g_portNames[i]) == 0) opened.push_back(g_portNames[i]);
        ClosePort(port);
    }
    return opened;
}
