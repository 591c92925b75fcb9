// The serial ports sysfs knows, described as kavrin-cli ports --long
// describes them, and the latency timer of an FTDI-type adapter.
#include "doctor/adapter_latency.h"
#include "doctor/linux_checks.h"

const char* const kShippedUdevRules = "/usr/share/doc/kavrin/examples/99-kavrin-usb-serial.rules";

namespace {

const char* const kNoPort = "no serial port found";
const char* const kPlugIn = "plug in the reader's cable or adapter";

void Add(std::string& line, const std::string& field) {
    if (!field.empty()) line += "  " + field;
}

}  // namespace

std::vector<Finding> PortsPresent(const Host& host) {
    std::vector<Finding> findings;
    for (const SerialPortName& port : ListSerialDevices(host.tree)) {
        std::string line = port.device;
        Add(line, port.byId);
        if (std::optional<TtyHardware> hardware = ReadTtyHardware(host.tree, port.device))
            Add(line, LongDescription(*hardware));
        findings.push_back({line, {}});
    }
    if (findings.empty()) findings.push_back({kNoPort, kPlugIn});
    return findings;
}

std::optional<Finding> LatencyTimer(const Host& host, const std::string& port) {
    std::optional<int> ms = ReadLatencyTimer(host.tree, port);
    if (!ms) return std::nullopt;
    return LatencyFinding(port, *ms);
}
