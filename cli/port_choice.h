// Which port a subcommand talks to.
//
// A port named with --port is used as given. Without one, the USB serial
// adapters present are looked at: when there is exactly one, it is used;
// otherwise the user is shown them and asked for --port. No port is opened
// here: only the one used is, by the connection, and a port nobody named
// may not be ours to touch.
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
