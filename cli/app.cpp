#include "cli/app.h"

#include <cstdio>

#include "cli/commands.h"
#include "cli/interrupts.h"

namespace {

const char* const kDescription =
    "Service program for the animal-tag reader: read its records, set its clock and\n"
    "settings, replace its firmware; keep every download in the record book and\n"
    "match it to your animal list. Log lines go to standard error, results to\n"
    "standard output. Exit status: 0 success, 1 the reader or a file failed,\n"
    "2 bad usage.";
const char* const kPortHelp =
    "the reader's serial port: a device path (/dev/ttyUSB0, /dev/serial/by-id/...), a Bluetooth reader's "
    "address (bt:00:1A:7D:DA:71:13) or a name such as COM3; without it, the one USB serial adapter or "
    "Bluetooth reader present";
const char* const kBookHelp =
    "the record book to keep downloads in and to read (default: $XDG_DATA_HOME/kavrin/records.db, "
    "%LOCALAPPDATA%\\Kavrin\\records.db on Windows)";
const char* const kNoBookHelp = "keep no record book: export writes its file only";
const char* const kVersion = "kavrin-cli " KAVRIN_VERSION;

const char* const kNoSubcommand = "kavrin-cli: a subcommand is required";
const char* const kUnknownSubcommand = "kavrin-cli: unknown subcommand: ";
const char* const kSeeHelp = "Run with --help for more information.";

// The subcommands, in the order --help lists them.
const AddCommand kCommands[] = {
    AddPorts, AddInfo, AddCount, AddExport, AddDelete, AddSyncTime, AddPowerDown, AddUpgrade, AddBook, AddAnimals,
    AddDoctor,
};

std::string NonEmpty(const std::string& text) { return text.empty() ? "the port name is empty" : ""; }

}  // namespace

int RunCommandLine(int argc, const char* const* argv) {
    CLI::App app{kDescription, "kavrin-cli"};
    GlobalOptions global;
    CommandAction action;

    app.set_version_flag("--version", kVersion);
    app.add_option("-p,--port", global.port, kPortHelp)->type_name("PORT")->check(CLI::Validator(NonEmpty, ""));
    CLI::Option* book = app.add_option("--book", global.book, kBookHelp)->type_name("FILE");
    app.add_flag("--no-book", global.noBook, kNoBookHelp)->excludes(book);
    // -p is accepted after the subcommand too.
    app.fallthrough();
    app.require_subcommand(0, 1);
    for (AddCommand add : kCommands) add(app, global, action);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ExtrasError& error) {
        // A stray word where the subcommand belongs is most likely a misspelt one.
        if (app.get_subcommands().empty() && !app.remaining().empty())
            std::fprintf(stderr, "%s%s\n%s\n", kUnknownSubcommand, app.remaining().front().c_str(), kSeeHelp);
        else
            app.exit(error);
        return kExitUsage;
    } catch (const CLI::ParseError& error) {
        // --help and --version end here with status 0.
        return app.exit(error) == 0 ? kExitOk : kExitUsage;
    }
    if (!action) {
        std::fprintf(stderr, "%s\n%s\n", kNoSubcommand, kSeeHelp);
        return kExitUsage;
    }
    int status = action();
    std::fflush(stdout);
    if (status == kExitInterrupted) EndAsInterrupted();
    return status;
}
