// kavrin-cli count, delete, sync-time and power-down: the reader's record
// count, records, clock and power-down time, through the housekeeping
// operations. Each operation reports how it went only in its log line, so
// the line that means success is what each subcommand looks for.
#include <cstdint>
#include <cstdio>

#include "cli/argument_checks.h"
#include "cli/exit_codes.h"
#include "cli/reader_session.h"
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

const char* const kCountOk = "Get records cnt success.";
const char* const kDeleteOk = "All records has been Deleted.";
const char* const kSyncTimeOk = "Sync time success.";
const char* const kGetParamsOk = "Get params OK.";
const char* const kSetPowerDownOk = "Set Power down time Ok.";

int ExitFor(const CliFeedback& ui, const char* successLine) {
    return ui.Logged(successLine) ? kExitOk : kExitFailed;
}

int Count(CliFeedback& ui) {
    OnBnClickedGetCnt(ui);
    if (!ui.Logged(kCountOk)) return kExitFailed;
    // The field is a signed int; the reader's count is unsigned 32-bit.
    std::printf("%u\n", static_cast<uint32_t>(ui.m_nRecordCount));
    return kExitOk;
}

int Delete(CliFeedback& ui) {
    // --yes, required to get here, answers the question.
    ui.assumeYes = true;
    OnBnClickedDeleteAll(ui);
    return ExitFor(ui, kDeleteOk);
}

int SyncTime(CliFeedback& ui) {
    OnBnClickedSyncTime(ui);
    return ExitFor(ui, kSyncTimeOk);
}

int PowerDown(CliFeedback& ui, const std::optional<std::string>& minutes) {
    if (minutes) {
        ui.m_nPowerDownMin = *ParseMinutes(*minutes);
        OnBnClickedSetPowerDown(ui);
        return ExitFor(ui, kSetPowerDownOk);
    }
    OnBnClickedGetPowerDown(ui);
    if (!ui.Logged(kGetParamsOk)) return kExitFailed;
    std::printf("%d\n", ui.m_nPowerDownMin);
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
