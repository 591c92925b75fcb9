// kavrin-cli ports [--long]: the serial ports, one a line, with the by-id
// name beside the device where there is one, and with --long what the
// system tells about each; on Linux the paired Bluetooth readers follow
// (bt:ADDRESS). On Linux listing opens no port; on Windows it tries the
// ports the window tries, so both list the same, but opens no Bluetooth
// port, whose opening would connect to its device.
#include <cstdio>
#include <optional>

#include "cli/cli_feedback.h"
#include "cli/commands.h"
#include "doctor/doctor.h"
#include "link/port_list.h"

namespace {

const char* const kNoneFound = "no serial port found";
const char* const kDenied = " not listed: permission denied";

void AddField(std::string& line, const std::string& field) {
    if (!field.empty()) line += "  " + field;
}

}  // namespace

int RunPorts(const PortsOptions& options) {
    CliFeedback ui;
    int listed = 0;
    std::vector<std::string> denied;
    for (const SerialPortName& port : CandidateSerialPorts()) {
        OpenStatus status = CheckPortAccess(port.device);
        if (status.failure == OpenFailure::None) {
            std::string line = port.device;
            AddField(line, port.byId);
            if (options.details) {
                AddField(line, DescribePort(port.device));
                AddField(line, LatencyField(port.device));
            }
            std::printf("%s\n", line.c_str());
            ++listed;
        } else if (status.failure == OpenFailure::Busy) {
            // Not listed, but the user can do something about it.
            ui.Say(OpenFailureLine(port.device, status));
        } else if (status.failure == OpenFailure::AccessDenied) {
            denied.push_back(port.device);
        }
    }
    // Without the group every built-in port is forbidden too: one port says it for all.
    if (!denied.empty()) {
        ui.Say(std::to_string(denied.size()) + (denied.size() == 1 ? " port" : " ports") + kDenied);
        if (std::optional<Finding> why = WhyNotOpened(denied.front(), {OpenFailure::AccessDenied, {}}))
            ui.Say(FindingLine(*why));
    }
    if (listed == 0) ui.Say(kNoneFound);
    return kExitOk;
}
