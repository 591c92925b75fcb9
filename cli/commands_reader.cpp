// kavrin-cli info, count, delete, sync-time and power-down: the reader's
// firmware version, record count, records, clock and power-down time. Each
// exits as its operation's result says: a reader that answers with a
// nonzero status has refused, whatever the window's line.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "doctor/adapter_latency.h"
#include "cli/argument_checks.h"
#include "cli/commands.h"
#include "cli/reader_session.h"
#include "ops/clock.h"
#include "ops/format_text.h"
#include "ops/housekeeping.h"

namespace {

const char* const kInfoHelp = "connect and print the reader's firmware version";
const char* const kCountHelp = "print the number of stored records";
const char* const kDeleteHelp = "delete all records (refuses without --yes)";
const char* const kSyncTimeHelp = "set the reader's clock to this computer's local time";
const char* const kPowerDownHelp = "print the power-down time, or set it to MIN (1 to 60)";
const char* const kMinutesHelp = "the new power-down time in minutes, 1 to 60";
const char* const kDeleteYesHelp = "yes, delete every record on the reader";
const char* const kDeleteRefused = "delete erases every record on the reader: add --yes to go ahead";

const char* const kVersionFormat = "%u.%u";
const char* const kLatencyLine = "adapter latency timer: %d ms";
const char* const kSlowLatencyLine = "each answer waits up to %d ms in the adapter; ";
// What the program asked for when it opened the port.
const int kLowLatencyMs = 1;

// Read while the port is open: the driver may lower the timer for an open
// port that asked for low latency.
void ReportLatency(CliFeedback& ui, const std::string& port) {
    std::optional<int> ms = AdapterLatencyMs(port);
    if (!ms) return;
    ui.Say(port + ": " + FormatText(kLatencyLine, *ms));
    if (*ms > kLowLatencyMs) ui.Say(FormatText(kSlowLatencyLine, *ms) + LowerLatencyHint(port));
}

// A version the reader answered with a refusal is not one to print.
int Info(CliFeedback& ui, const Reader& reader) {
    const OpResult answer = reader.connection.VersionAnswer();
    if (!answer.Ok()) return ExitStatusFor(ui, answer);
    std::printf("%s\n", FormatText(kVersionFormat, reader.connection.major, reader.connection.minor).c_str());
    ReportLatency(ui, reader.name);
    return kExitOk;
}

int Count(CliFeedback& ui, const Reader& reader) {
    CountResult result = CountRecords(ui, reader.port);
    if (!result.Ok()) return ExitStatusFor(ui, result);
    std::printf("%u\n", result.count);
    return kExitOk;
}

int PowerDown(CliFeedback& ui, const Reader& reader, const std::optional<std::string>& minutes) {
    if (minutes) return ExitStatusFor(ui, SetPowerDown(ui, reader.port, *ParseMinutes(*minutes)));
    PowerDownResult result = GetPowerDown(ui, reader.port);
    if (!result.Ok()) return ExitStatusFor(ui, result);
    std::printf("%d\n", result.minutes);
    return kExitOk;
}

}  // namespace

void AddInfo(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    app.add_subcommand("info", kInfoHelp)->callback([&] { action = [&] { return RunOnReader(global, Info); }; });
}

void AddCount(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    app.add_subcommand("count", kCountHelp)->callback([&] { action = [&] { return RunOnReader(global, Count); }; });
}

void AddDelete(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = app.add_subcommand("delete", kDeleteHelp);
    auto yes = std::make_shared<bool>(false);
    command->add_flag("--yes", *yes, kDeleteYesHelp);
    command->callback([&global, &action, yes] {
        RequireYes(*yes, kDeleteRefused);
        // --yes, required to get here, answers the question.
        action = [&global] {
            return RunOnReader(global, [](CliFeedback& ui, const Reader& reader) {
                return ExitStatusFor(ui, DeleteAndAwait(ui, reader.port));
            });
        };
    });
}

void AddSyncTime(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    app.add_subcommand("sync-time", kSyncTimeHelp)->callback([&] {
        action = [&] {
            return RunOnReader(global, [](CliFeedback& ui, const Reader& reader) {
                return ExitStatusFor(ui, SyncClock(ui, reader.port, SystemClock().now()));
            });
        };
    });
}

void AddPowerDown(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = app.add_subcommand("power-down", kPowerDownHelp);
    auto minutes = std::make_shared<std::optional<std::string>>();
    command->add_option("MIN", *minutes, kMinutesHelp)->check(CLI::Validator(CheckMinutes, ""));
    command->callback([&global, &action, minutes] {
        action = [&global, minutes] {
            return RunOnReader(global, [&](CliFeedback& ui, const Reader& reader) { return PowerDown(ui, reader, *minutes); });
        };
    });
}
