// kavrin-cli info, count, delete, sync-time and power-down: the reader's
// firmware version, record count, records, clock and power-down time. Each
// exits as its operation's result says: a reader that answers with a
// nonzero status has refused, whatever the window's line.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/argument_checks.h"
#include "cli/commands.h"
#include "cli/reader_session.h"
#include "doctor/doctor.h"
#include "ops/clock.h"
#include "ops/format_text.h"
#include "ops/housekeeping.h"

namespace {

const char* const kInfoHelp = "connect and print the reader's firmware version";
const char* const kCountHelp = "print the number of stored records";
const char* const kDeleteHelp = "delete all records (refuses without --yes)";
const char* const kSyncTimeHelp = "set the reader's clock to this computer's local time";
const char* const kPowerDownHelp = "print the power-down time, or set it to MIN (%s)";
const char* const kMinutesHelp = "the new power-down time in minutes, %s";
const char* const kDeleteYesHelp = "yes, delete every record on the reader";
const char* const kDeleteRefused = "delete erases every record on the reader: add --yes to go ahead";

// A version the reader answered with a refusal is not one to print. The
// adapter's latency timer is read while the port is open: the driver may
// lower it for an open port that asked for low latency.
int Info(CliFeedback& ui, const Reader& reader) {
    const OpResult answer = reader.connection.VersionAnswer();
    if (!answer.Ok()) return ExitStatusFor(ui, answer);
    std::printf("%s\n", FirmwareText(reader.connection.major, reader.connection.minor).c_str());
    for (const std::string& line : LatencyLines(reader.name)) ui.Say(line);
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
                return ExitStatusFor(ui, DeleteAllRecords(ui, reader.port, true));
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
    CLI::App* command = app.add_subcommand("power-down", FormatText(kPowerDownHelp, MinutesRange().c_str()));
    auto minutes = std::make_shared<std::optional<std::string>>();
    command->add_option("MIN", *minutes, FormatText(kMinutesHelp, MinutesRange().c_str()))->check(CLI::Validator(CheckMinutes, ""));
    command->callback([&global, &action, minutes] {
        action = [&global, minutes] {
            return RunOnReader(global, [&](CliFeedback& ui, const Reader& reader) { return PowerDown(ui, reader, *minutes); });
        };
    });
}
