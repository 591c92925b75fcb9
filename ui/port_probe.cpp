#include "ui/port_probe.h"

#include <cstdio>

#include "link/serial_port.h"

namespace {

const char* const kPortNameFormat = "COM%d:";

}  // namespace

std::vector<std::string> g_portNames;

std::vector<std::string> ProbeCommPorts() {
    g_portNames.assign(kProbedPortCount + 1, std::string());
    std::vector<std::string> opened;
    for (int i = 1; i <= kProbedPortCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, kPortNameFormat, i);
        g_portNames[i] = name;
        PortHandle port = nullptr;
        if (OpenCommPort(port, name) == 0) opened.push_back(name);
        ClosePort(port);
    }
    return opened;
}
