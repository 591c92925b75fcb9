// kavrin-cli info, count, delete, sync-time and power-down: the reader's
// firmware version, record count, records, clock and power-down time. Each
// exits as its operation's result says: a reader that answers with a
// nonzero status has refused, whatever the window's line.
#include <cstdio>
#include <string>

#include "cli/argument_checks.h"
#include "cli/commands.h"
#include "cli/reader_session.h"
#include "doctor/doctor.h"
#include "ops/clock.h"
#include "ops/housekeeping.h"

// A version the reader answered with a refusal is not one to print. The
// adapter's latency timer is read while the port is open: the driver may
// lower it for an open port that asked for low latency.
int RunInfo(const GlobalOptions& global) {
    CliFeedback ui;
    ReaderSession reader(global, ui);
    if (!reader) return reader.Failure();
    const OpResult answer = reader->connection.VersionAnswer();
    if (!answer.Ok()) return ExitStatusFor(ui, answer);
    std::printf("%s\n", FirmwareText(reader->connection.major, reader->connection.minor).c_str());
    for (const std::string& line : LatencyLines(reader->name)) ui.Say(line);
    return kExitOk;
}

int RunCount(const GlobalOptions& global) {
    CliFeedback ui;
    ReaderSession reader(global, ui);
    if (!reader) return reader.Failure();
    CountResult result = CountRecords(ui, reader->port);
    if (!result.Ok()) return ExitStatusFor(ui, result);
    std::printf("%u\n", result.count);
    return kExitOk;
}

// --yes, required to get here, answers the question.
int RunDelete(const GlobalOptions& global) {
    CliFeedback ui;
    ReaderSession reader(global, ui);
    if (!reader) return reader.Failure();
    return ExitStatusFor(ui, DeleteAndAwait(ui, reader->port));
}

int RunSyncTime(const GlobalOptions& global) {
    CliFeedback ui;
    ReaderSession reader(global, ui);
    if (!reader) return reader.Failure();
    return ExitStatusFor(ui, SyncClock(ui, reader->port, SystemClock().now()));
}

int RunPowerDown(const GlobalOptions& global, const PowerDownOptions& options) {
    CliFeedback ui;
    ReaderSession reader(global, ui);
    if (!reader) return reader.Failure();
    if (options.minutes) return ExitStatusFor(ui, SetPowerDown(ui, reader->port, *ParseMinutes(*options.minutes)));
    PowerDownResult result = GetPowerDown(ui, reader->port);
    if (!result.Ok()) return ExitStatusFor(ui, result);
    std::printf("%d\n", result.minutes);
    return kExitOk;
}
