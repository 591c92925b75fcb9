// kavrin-cli info: connect and print the reader's firmware version; say how
// long the port's USB adapter holds each answer, where the system shows it.
#include <cstdio>
#include <optional>
#include <string>

#include "cli/adapter_latency.h"
#include "cli/exit_codes.h"
#include "cli/reader_session.h"
#include "cli/result_exit.h"
#include "cli/subcommands.h"
#include "ops/format_text.h"

namespace {

const char* const kHelp = "connect and print the reader's firmware version";
const char* const kVersionFormat = "%u.%u";
const char* const kLatencyLine = "adapter latency timer: %d ms";
const char* const kSlowLatencyLine = "each answer waits up to %d ms in the adapter; ";
// What the program asked for when it opened the port.
const int kLowLatencyMs = 1;

// Read while the port is open: the driver may lower the timer for an open
// port that asked for low latency.
void ReportLatency(CliFeedback& ui) {
    std::optional<int> ms = AdapterLatencyMs(ui.port);
    if (!ms) return;
    ui.Say(ui.port + ": " + FormatText(kLatencyLine, *ms));
    if (*ms > kLowLatencyMs) ui.Say(FormatText(kSlowLatencyLine, *ms) + LowerLatencyHint(ui.port));
}

// A version the reader answered with a refusal is not one to print.
int PrintVersion(CliFeedback& ui, const ConnectResult& connection) {
    if (!connection.Ok()) return ExitStatusFor(ui, connection);
    std::printf("%s\n", FormatText(kVersionFormat, connection.major, connection.minor).c_str());
    ReportLatency(ui);
    return kExitOk;
}

void AddInfo(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    app.add_subcommand("info", kHelp)->callback([&] { action = OnReader(global, PrintVersion); });
}

[[maybe_unused]] const bool kRegistered = RegisterCommand({20, AddInfo});

}  // namespace
