// kavrin-cli info: connect and print the reader's firmware version.
#include <cstdio>

#include "cli/exit_codes.h"
#include "cli/reader_session.h"
#include "cli/subcommands.h"

namespace {

const char* const kHelp = "connect and print the reader's firmware version";
// The connection's own log line carries the version after this text.
const std::string kVersionLine = "Reader firmvare version:";

int PrintVersion(CliFeedback& ui) {
    for (const std::string& line : ui.log) {
        if (!line.starts_with(kVersionLine)) continue;
        std::printf("%s\n", line.substr(kVersionLine.size()).c_str());
        return kExitOk;
    }
    return kExitFailed;
}

void AddInfo(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    app.add_subcommand("info", kHelp)->callback([&] { action = OnReader(global, PrintVersion); });
}

[[maybe_unused]] const bool kRegistered = RegisterCommand({20, AddInfo});

}  // namespace
