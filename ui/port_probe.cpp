#include "ui/port_probe.h"

#include "link/port_list.h"
#include "link/serial_port.h"

std::vector<std::string> ProbeCommPorts() {
    std::vector<std::string> opened;
    for (const SerialPortName& candidate : CandidateSerialPorts()) {
        const std::string name = candidate.device + ":";
        PortHandle port = nullptr;
        if (OpenCommPort(port, name) == 0) opened.push_back(name);
        ClosePort(port);
    }
    return opened;
}
