// kavrin-cli ports: the serial ports that open, one a line, with the by-id
// name beside the device where there is one. On Windows it tries the ports
// the window tries, so both list the same.
#include <cstdio>

#include "cli/cli_feedback.h"
#include "cli/exit_codes.h"
#include "cli/open_failure.h"
#include "link/port_list.h"
#include "cli/subcommands.h"

namespace {

const char* const kHelp = "list the serial ports that open, one per line";
const char* const kNoneOpens = "no serial port opens";
const char* const kDenied = " not listed: permission denied";

int ListPorts(CliFeedback& ui) {
    int listed = 0;
    int denied = 0;
    for (const SerialPortName& port : CandidateSerialPorts()) {
        OpenStatus status = ProbePort(port.device);
        if (status.failure == OpenFailure::None) {
            std::printf("%s%s%s\n", port.device.c_str(), port.byId.empty() ? "" : "  ", port.byId.c_str());
            ++listed;
        } else if (status.failure == OpenFailure::Busy) {
            // Not listed, but the user can do something about it.
            ui.Say(DescribeOpenFailure(port.device, status));
        } else if (status.failure == OpenFailure::AccessDenied) {
            ++denied;
        }
    }
    // Without the group every built-in port is forbidden too: one line says it all.
    if (denied > 0) {
        std::string hint = AccessDeniedHint();
        ui.Say(std::to_string(denied) + (denied == 1 ? " port" : " ports") + kDenied + (hint.empty() ? "" : "; " + hint));
    }
    if (listed == 0) ui.Say(kNoneOpens);
    return kExitOk;
}

void AddPorts(CLI::App& app, const GlobalOptions&, CommandAction& action) {
    app.add_subcommand("ports", kHelp)->callback([&action] {
        action = [] {
            CliFeedback ui;
            return ListPorts(ui);
        };
    });
}

[[maybe_unused]] const bool kRegistered = RegisterCommand({10, AddPorts});

}  // namespace
