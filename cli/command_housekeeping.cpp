// kavrin-cli count, delete, sync-time and power-down: the reader's record
// count, records, clock and power-down time, through the housekeeping
// operations. Each exits as its operation's result says: a reader that
// answers with a nonzero status has refused, whatever the window's line.
#include <cstdint>
#include <cstdio>

#include "cli/argument_checks.h"
#include "cli/exit_codes.h"
#include "cli/reader_session.h"
#include "cli/result_exit.h"
#include "cli/subcommands.h"
#include "ops/housekeeping.h"

namespace {

const char* const kCountHelp = "print the number of stored records";
const char* const kDeleteHelp = "delete all records (refuses without --yes)";
const char* const kSyncTimeHelp = "set the reader's clock to this computer's local time";
const char* const kPowerDownHelp = "print the power-down time, or set it to MIN (1 to 60)";
const char* const kMinutesHelp = "the new power-down time in minutes, 1 to 60";
const char* const kYesHelp = "yes, delete every record on the reader";
const char* const kDeleteRefused = "delete erases every record on the reader: add --yes to go ahead";

int Count(CliFeedback& ui) {
    CountResult result = OnBnClickedGetCnt(ui);
    if (!result.Ok()) return ExitStatusFor(ui, result);
    std::printf("%u\n", result.count);
    return kExitOk;
}

int Delete(CliFeedback& ui) {
    // --yes, required to get here, answers the question.
    ui.assumeYes = true;
    return ExitStatusFor(ui, OnBnClickedDeleteAll(ui));
}

int SyncTime(CliFeedback& ui) { return ExitStatusFor(ui, OnBnClickedSyncTime(ui)); }

int PowerDown(CliFeedback& ui, const std::optional<std::string>& minutes) {
    if (minutes) {
        ui.m_nPowerDownMin = *ParseMinutes(*minutes);
        return ExitStatusFor(ui, OnBnClickedSetPowerDown(ui));
    }
    PowerDownResult result = OnBnClickedGetPowerDown(ui);
    if (!result.Ok()) return ExitStatusFor(ui, result);
    std::printf("%d\n", result.minutes);
    return kExitOk;
}

void AddCount(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    app.add_subcommand("count", kCountHelp)->callback([&] { action = OnReader(global, Count); });
}

void AddDelete(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = app.add_subcommand("delete", kDeleteHelp);
    auto yes = std::make_shared<bool>(false);
    command->add_flag("--yes", *yes, kYesHelp);
    command->callback([&global, &action, yes] {
        RequireYes(*yes, kDeleteRefused);
        action = OnReader(global, Delete);
    });
}

void AddSyncTime(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    app.add_subcommand("sync-time", kSyncTimeHelp)->callback([&] { action = OnReader(global, SyncTime); });
}

void AddPowerDown(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = app.add_subcommand("power-down", kPowerDownHelp);
    auto minutes = std::make_shared<std::optional<std::string>>();
    command->add_option("MIN", *minutes, kMinutesHelp)->check(CLI::Validator(CheckMinutes, ""));
    command->callback([&global, &action, minutes] {
        action = OnReader(global, [minutes](CliFeedback& ui) { return PowerDown(ui, *minutes); });
    });
}

[[maybe_unused]] const bool kCountRegistered = RegisterCommand({30, AddCount});
[[maybe_unused]] const bool kDeleteRegistered = RegisterCommand({50, AddDelete});
[[maybe_unused]] const bool kSyncTimeRegistered = RegisterCommand({60, AddSyncTime});
[[maybe_unused]] const bool kPowerDownRegistered = RegisterCommand({70, AddPowerDown});

}  // namespace
