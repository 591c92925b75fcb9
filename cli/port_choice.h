// Which port a subcommand talks to.
//
// A port named with --port is used as given. Without one, the USB serial
// adapters present are looked at: when there is exactly one and it opens,
// it is used; otherwise the user is shown them and asked for --port. Ports
// are only opened and closed again here, never sent anything: a port
// without a reader would cost its time-out, and it may not be ours to
// talk to.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_feedback.h"

struct PortChoice {
    std::string port;  // empty when there is none to use
    int exitCode = 0;  // why there is none
};

PortChoice ChoosePort(const std::optional<std::string>& named, CliFeedback& ui);

// The choice among the adapters found, explained on `ui` when there is
// none to use.
PortChoice ChooseAdapter(const std::vector<std::string>& adapters, CliFeedback& ui);
