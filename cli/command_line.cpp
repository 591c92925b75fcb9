// Every subcommand's options and help, bound to its options struct, and
// the checks of a whole subcommand that run once it is parsed (--yes, the
// export's combinations, a tag's ID). The only file besides
// export_options.cpp that sees CLI11, which compiles its whole parser into
// each file that includes it.
#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>

#include "cli/argument_checks.h"
#include "cli/export_options.h"
#include "ops/clock.h"
#include "ops/format_text.h"

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

const char* const kPortsHelp = "list the serial ports, one per line";
const char* const kLongHelp =
    "with each port's USB vendor:product, manufacturer, product, serial number, driver and latency timer, "
    "or its Bluetooth address, channel or direction and name";

const char* const kInfoHelp = "connect and print the reader's firmware version";
const char* const kCountHelp = "print the number of stored records";
const char* const kDeleteHelp = "delete all records (refuses without --yes)";
const char* const kSyncTimeHelp = "set the reader's clock to this computer's local time";
const char* const kPowerDownHelp = "print the power-down time, or set it to MIN (%s)";
const char* const kMinutesHelp = "the new power-down time in minutes, %s";
const char* const kDeleteYesHelp = "yes, delete every record on the reader";
const char* const kDeleteRefused = "delete erases every record on the reader: add --yes to go ahead";

const char* const kExportHelp =
    "download all records into the dated file in DIR (default: the working directory); print the file's path";
const char* const kExportFolderHelp = "the folder for the file";
const char* const kExportAnimalsHelp =
    "add the visual tag number, name and group of each record whose tag the animal list (in the record book) has";
const char* const kAnimalsWithoutBook = "--animals: the animal list is in the record book, which --no-book leaves out";
const char* const kAnimalsInRegistryFile = "--animals: a registry's movement file has the registry's columns only";
const char* const kExportDeleteHelp =
    "then delete the records from the reader, once the file is verified complete on the disk and a second "
    "reading of every record agrees with it (about twice the time of the export alone)";

const char* const kWatchHelp =
    "wait for readers and download each one that is plugged in (or, with --port, starts answering) as export "
    "does; then wait for the next";
const char* const kWatchPortHelp =
    "a reader's port to watch, tried at once and again every --every seconds while it does not answer; once "
    "per reader (default: the USB serial adapters and rfcomm ttys as they are plugged in)";
const char* const kEveryHelp = "with --port: the seconds between tries of a port that does not answer (default: 60)";
const char* const kEveryWithoutPort = "--every: the tries are of the ports given with --port";
constexpr unsigned kEveryMost = 86400;

const char* const kUpgradeHelp = "send a firmware image (refuses without --yes)";
const char* const kImageFileHelp = "the firmware image (.bin)";
const char* const kUpgradeYesHelp = "yes, replace the reader's firmware";
const char* const kUpgradeRefused = "upgrade replaces the reader's firmware: add --yes to go ahead";

const char* const kBookListHelp = "list the downloads in the record book, one a line";
const char* const kShowHelp = "write the rows of download N into a new file in DIR, in any export format";
const char* const kTagHelp = "list every read of one tag, newest first (ID in any form: 982000123456789, "
                             "\"982 000123456789\", 0982000123456789, 982-000123456789, or \"982\" \"123456789\")";
const char* const kBookExportHelp = "write the reads of the downloads of a period into a new file in DIR, each read once";
const char* const kMissingHelp = "list the animals of the list (or of a group) not read, as CSV";
const char* const kUnknownHelp = "list the reads whose tag is not in the animal list";
const char* const kNumberHelp = "the download's number (see kavrin-cli book)";
const char* const kIdHelp = "the tag's ID in any form a registry or a tag prints (982 000123456789, UK0713393 00045, ...), or its country code and national number";
const char* const kSinceHelp = "downloads from this day on (YYYY-MM-DD)";
const char* const kUntilHelp = "downloads up to this day, that day included (YYYY-MM-DD)";
const char* const kNewHelp = "only the reads that the period's downloads brought into the book";
const char* const kReadsGroupHelp = "only the animals of this group";
const char* const kDownloadHelp = "in this download (default: the latest)";
const char* const kShowFolderHelp = "the folder for the file";
const char* const kShowAnimalsHelp = "add the visual tag number, name and group of each read whose tag the animal list has";

const char* const kAnimalListHelp = "list the animals of your list, as CSV";
const char* const kImportHelp =
    "read your animal list from a CSV file (a heading row with tag, and visual tag, name, group, notes "
    "as you have them); importing again updates animals by tag";
const char* const kAnimalGroupHelp = "only the animals of this group";
const char* const kAnimalFileHelp = "the CSV file, as a spreadsheet saves it (UTF-8, commas or semicolons)";

const char* const kDoctorHelp = "say why the reader cannot be reached, and what to do about it";

// A check of an argument's text: empty when good, else what is wrong with it.
CLI::Validator Check(std::string (*check)(const std::string&)) { return CLI::Validator(check, ""); }

std::string NonEmpty(const std::string& text) { return text.empty() ? "the port name is empty" : ""; }

// A subcommand that changes the reader for good goes ahead only with --yes.
void RequireYes(bool given, const char* refusal) {
    if (!given) throw CLI::ValidationError(refusal, CLI::ExitCodes::ValidationError);
}

// Once `command` is parsed, it is the subcommand to run.
void Chosen(CLI::App* command, CommandLine& line, Subcommand subcommand) {
    command->callback([&line, subcommand] { line.subcommand = subcommand; });
}

void AddPorts(CLI::App& app, CommandLine& line) {
    CLI::App* command = app.add_subcommand("ports", kPortsHelp);
    command->add_flag("-l,--long", line.ports.details, kLongHelp);
    Chosen(command, line, Subcommand::Ports);
}

void AddInfo(CLI::App& app, CommandLine& line) { Chosen(app.add_subcommand("info", kInfoHelp), line, Subcommand::Info); }

void AddCount(CLI::App& app, CommandLine& line) {
    Chosen(app.add_subcommand("count", kCountHelp), line, Subcommand::Count);
}

void AddDelete(CLI::App& app, CommandLine& line) {
    CLI::App* command = app.add_subcommand("delete", kDeleteHelp);
    command->add_flag("--yes", line.deletion.yes, kDeleteYesHelp);
    command->callback([&line] {
        RequireYes(line.deletion.yes, kDeleteRefused);
        line.subcommand = Subcommand::Delete;
    });
}

void AddSyncTime(CLI::App& app, CommandLine& line) {
    Chosen(app.add_subcommand("sync-time", kSyncTimeHelp), line, Subcommand::SyncTime);
}

void AddPowerDown(CLI::App& app, CommandLine& line) {
    CLI::App* command = app.add_subcommand("power-down", FormatText(kPowerDownHelp, MinutesRange().c_str()));
    command->add_option("MIN", line.powerDown.minutes, FormatText(kMinutesHelp, MinutesRange().c_str()))
        ->check(Check(CheckMinutes));
    Chosen(command, line, Subcommand::PowerDown);
}

// -o, the format, its forms and the registries' options, --delete and --animals, as export and watch take them.
void AddDownloadOptions(CLI::App* command, ExportOptions& options) {
    command->add_option("-o,--output", options.folder, kExportFolderHelp)->type_name("DIR")->check(Check(CheckFolder));
    AddExportOptions(*command, options.choice);
    command->add_flag("--delete", options.clear, kExportDeleteHelp);
    command->add_flag("--animals", options.animals, kExportAnimalsHelp);
}

// Once `command` is parsed: what the download options refuse together, and the profile they make.
void CheckDownloadOptions(const CLI::App& command, const CommandLine& line, ExportOptions& options) {
    if (options.animals && line.global.noBook) throw CLI::ValidationError("--animals", kAnimalsWithoutBook);
    if (options.animals && IsRegistryFormat(options.choice.format))
        throw CLI::ValidationError("--animals", kAnimalsInRegistryFile);
    options.request = RequestOf(command, options.choice, options.clear);
    options.profile = ProfileFor(options.request, DateOf(SystemClock().now()));
}

void AddExport(CLI::App& app, CommandLine& line) {
    CLI::App* command = app.add_subcommand("export", kExportHelp);
    AddDownloadOptions(command, line.exportRecords);
    command->callback([&line, command] {
        CheckDownloadOptions(*command, line, line.exportRecords);
        line.subcommand = Subcommand::Export;
    });
}

void AddWatch(CLI::App& app, CommandLine& line) {
    CLI::App* command = app.add_subcommand("watch", kWatchHelp);
    WatchOptions& options = line.watch;
    AddDownloadOptions(command, options.download);
    command->add_option("-p,--port", options.ports, kWatchPortHelp)->type_name("PORT")->check(Check(NonEmpty));
    command->add_option("--every", options.every, kEveryHelp)->type_name("SECONDS")->check(CLI::Range(1u, kEveryMost));
    command->callback([&line, &options, command] {
        CheckDownloadOptions(*command, line, options.download);
        // -p before the subcommand names a port too.
        if (line.global.port) options.ports.insert(options.ports.begin(), *line.global.port);
        if (options.ports.empty() && command->count("--every") > 0)
            throw CLI::ValidationError(kEveryWithoutPort, CLI::ExitCodes::ValidationError);
        line.subcommand = Subcommand::Watch;
    });
}

void AddUpgrade(CLI::App& app, CommandLine& line) {
    CLI::App* command = app.add_subcommand("upgrade", kUpgradeHelp);
    command->add_option("FILE", line.upgrade.file, kImageFileHelp)->required()->check(Check(CheckFile));
    command->add_flag("--yes", line.upgrade.yes, kUpgradeYesHelp);
    command->callback([&line] {
        RequireYes(line.upgrade.yes, kUpgradeRefused);
        line.subcommand = Subcommand::Upgrade;
    });
}

// -o, the format with export's forms and registries' options, and --animals, for a file of the book's reads.
void AddFileOptions(CLI::App* command, FileChoice& choice) {
    command->add_option("-o,--output", choice.folder, kShowFolderHelp)->type_name("DIR")->check(Check(CheckFolder));
    AddExportOptions(*command, choice.choice);
    command->add_flag("--animals", choice.animals, kShowAnimalsHelp);
}

// Once `command` is parsed: the file's options checked together, as export's are, and the subcommand chosen.
void ChosenWithFile(CLI::App* command, CommandLine& line, Subcommand subcommand, FileChoice& choice) {
    command->callback([command, &line, subcommand, &choice] {
        if (choice.animals && IsRegistryFormat(choice.choice.format))
            throw CLI::ValidationError("--animals", kAnimalsInRegistryFile);
        choice.profile = ProfileFor(RequestOf(*command, choice.choice, false), DateOf(SystemClock().now()));
        line.subcommand = subcommand;
    });
}

void AddShow(CLI::App* book, CommandLine& line) {
    CLI::App* command = book->add_subcommand("show", kShowHelp);
    command->add_option("N", line.bookShow.number, kNumberHelp)->required()->check(CLI::PositiveNumber);
    AddFileOptions(command, line.bookShow.file);
    ChosenWithFile(command, line, Subcommand::BookShow, line.bookShow.file);
}

void AddTag(CLI::App* book, CommandLine& line) {
    CLI::App* command = book->add_subcommand("tag", kTagHelp);
    BookTagOptions& options = line.bookTag;
    // The printed forms come in up to four words: "00000 0 982 000196588496", "UK 0 713393 00045".
    command->add_option("ID", options.words, kIdHelp)->required()->expected(1, 4)->type_name("ID");
    // A refusal is a usage error, said before the book is opened.
    command->callback([&line, &options] {
        const std::vector<std::string>& words = options.words;
        std::string joined;
        for (const std::string& word : words) joined += (joined.empty() ? "" : " ") + word;
        TagIdParse parsed = ParseTagId(joined);
        // Two words are also the window's two columns, which take a country code up to 1023.
        if (!parsed.id && words.size() == 2) {
            if (TagIdParse columns = ParseTagId(words[0], words[1]); columns.id) parsed = columns;
        }
        if (!parsed.id) throw CLI::ValidationError("ID", parsed.refusal);
        options.id = *parsed.id;
        line.subcommand = Subcommand::BookTag;
    });
}

void AddPeriodExport(CLI::App* book, CommandLine& line) {
    CLI::App* command = book->add_subcommand("export", kBookExportHelp);
    BookExportOptions& options = line.bookExport;
    command->add_option("--since", options.since, kSinceHelp)->type_name("DATE")->check(Check(CheckDate));
    command->add_option("--until", options.until, kUntilHelp)->type_name("DATE")->check(Check(CheckDate));
    command->add_flag("--new", options.onlyNew, kNewHelp);
    AddFileOptions(command, options.file);
    ChosenWithFile(command, line, Subcommand::BookExport, options.file);
}

void AddMissing(CLI::App* book, CommandLine& line) {
    CLI::App* command = book->add_subcommand("missing", kMissingHelp);
    BookMissingOptions& options = line.bookMissing;
    command->add_option("--group", options.group, kReadsGroupHelp)->type_name("G");
    CLI::Option* inDownload =
        command->add_option("--download", options.download, kDownloadHelp)->type_name("N")->check(CLI::PositiveNumber);
    command->add_option("--since", options.since, kSinceHelp)->type_name("DATE")->check(Check(CheckDate))->excludes(inDownload);
    Chosen(command, line, Subcommand::BookMissing);
}

void AddUnknown(CLI::App* book, CommandLine& line) {
    CLI::App* command = book->add_subcommand("unknown", kUnknownHelp);
    command->add_option("--download", line.bookUnknown.download, kDownloadHelp)->type_name("N")->check(CLI::PositiveNumber);
    Chosen(command, line, Subcommand::BookUnknown);
}

// A subcommand that runs on its own too when none of its own follows; the
// callbacks of those run before its own.
void ChosenWhenAlone(CLI::App* command, CommandLine& line, Subcommand subcommand) {
    command->callback([command, &line, subcommand] {
        if (command->get_subcommands().empty()) line.subcommand = subcommand;
    });
}

void AddBook(CLI::App& app, CommandLine& line) {
    CLI::App* command = app.add_subcommand("book", kBookListHelp);
    command->require_subcommand(0, 1);
    AddShow(command, line);
    AddTag(command, line);
    AddPeriodExport(command, line);
    AddMissing(command, line);
    AddUnknown(command, line);
    ChosenWhenAlone(command, line, Subcommand::BookList);
}

void AddAnimals(CLI::App& app, CommandLine& line) {
    CLI::App* command = app.add_subcommand("animals", kAnimalListHelp);
    command->require_subcommand(0, 1);
    command->add_option("--group", line.animals.group, kAnimalGroupHelp)->type_name("G");
    CLI::App* import = command->add_subcommand("import", kImportHelp);
    import->add_option("FILE", line.animalsImport.file, kAnimalFileHelp)->required()->check(Check(CheckFile));
    Chosen(import, line, Subcommand::AnimalsImport);
    ChosenWhenAlone(command, line, Subcommand::Animals);
}

void AddDoctor(CLI::App& app, CommandLine& line) {
    Chosen(app.add_subcommand("doctor", kDoctorHelp), line, Subcommand::Doctor);
}

// The subcommands, in the order --help lists them.
using AddCommand = void (*)(CLI::App& app, CommandLine& line);
const AddCommand kSubcommands[] = {
    AddPorts, AddInfo, AddCount, AddExport, AddWatch, AddDelete, AddSyncTime, AddPowerDown, AddUpgrade, AddBook,
    AddAnimals, AddDoctor,
};

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    CLI::App app{kDescription, "kavrin-cli"};
    GlobalOptions& global = line.global;
    app.set_version_flag("--version", kVersion);
    app.add_option("-p,--port", global.port, kPortHelp)->type_name("PORT")->check(Check(NonEmpty));
    CLI::Option* book = app.add_option("--book", global.book, kBookHelp)->type_name("FILE");
    app.add_flag("--no-book", global.noBook, kNoBookHelp)->excludes(book);
    // -p is accepted after the subcommand too.
    app.fallthrough();
    app.require_subcommand(0, 1);
    for (AddCommand add : kSubcommands) add(app, line);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ExtrasError& error) {
        // A stray word where the subcommand belongs is most likely a misspelt one.
        if (app.get_subcommands().empty() && !app.remaining().empty())
            std::fprintf(stderr, "%s%s\n%s\n", kUnknownSubcommand, app.remaining().front().c_str(), kSeeHelp);
        else
            app.exit(error);
        line.subcommand = Subcommand::None;
        line.status = kExitUsage;
        return line;
    } catch (const CLI::ParseError& error) {
        // --help and --version end here with status 0.
        line.subcommand = Subcommand::None;
        line.status = app.exit(error) == 0 ? kExitOk : kExitUsage;
        return line;
    }
    if (line.subcommand == Subcommand::None) {
        std::fprintf(stderr, "%s\n%s\n", kNoSubcommand, kSeeHelp);
        line.status = kExitUsage;
    }
    return line;
}
