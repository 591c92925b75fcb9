// Options that apply to every subcommand.
#pragma once

#include <optional>
#include <string>

struct GlobalOptions {
    std::optional<std::string> port;  // -p/--port
};
