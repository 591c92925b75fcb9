// kavrin-cli's subcommands: each one's options, a plain struct that parsing
// fills in and checks (command_line.h), and the function that runs it with
// them and gives the exit status. By the time a run function is called its
// options are all good: it only does the work. A file per group holds the
// run functions: ports, the reader's settings, export, upgrade, the record
// book, the animal list, doctor, the watch.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "formats/formats.h"
#include "watch/watch.h"

// What kavrin-cli's exit status tells a script.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the reader, the port or a file failed
inline constexpr int kExitUsage = 2;   // bad usage or bad arguments; nothing was sent
// Stopped by an interrupt (Ctrl-C, SIGTERM, SIGHUP, the console closing),
// as a shell reports a program that SIGINT ended. On Linux the program then
// ends by the signal itself (EndAsInterrupted), which the shell reports.
inline constexpr int kExitInterrupted = 130;

// Options that apply to every subcommand.
struct GlobalOptions {
    std::optional<std::string> port;  // -p/--port
    std::optional<std::string> book;  // --book FILE
    bool noBook = false;              // --no-book
};

// ports [--long]
struct PortsOptions {
    bool details = false;
};
int RunPorts(const PortsOptions& options);

// info, count, sync-time
int RunInfo(const GlobalOptions& global);
int RunCount(const GlobalOptions& global);
int RunSyncTime(const GlobalOptions& global);
// delete --yes: refused at parsing without --yes; the run takes it as the
// answer to the operation's question.
struct DeleteOptions {
    bool yes = false;
};
int RunDelete(const GlobalOptions& global);

// power-down [MIN]
struct PowerDownOptions {
    std::optional<std::string> minutes;  // whole decimal minutes in range (argument_checks.h)
};
int RunPowerDown(const GlobalOptions& global, const PowerDownOptions& options);

// export [-o DIR] [--format FORMAT] [forms and registry options] [--animals] [--delete]
struct ExportChoice {
    std::string format{kDefaultRecordFormat};
    std::string idForm{IdFormName(IdForm::Split)};
    std::string dateForm{DateFormName(DateForm::Iso)};
    std::string sending;
    std::string receiving;
    std::string dateSent;
    std::string dateReceived;
    std::string fromPic;
    std::string toPic;
    std::string nvd;
    std::string date;
    std::string pic;
};
struct ExportOptions {
    std::string folder = ".";
    ExportChoice choice;    // as given
    ExportRequest request;  // what `choice` asks, as checked
    ExportProfile profile;  // what the request makes of it, today's date filled in
    bool clear = false;     // --delete
    bool animals = false;
};
int RunExport(const GlobalOptions& global, const ExportOptions& options);

// watch [export's options] [--port PORT]... [--every SECONDS]: with no
// port, the USB serial adapters plugged in.
struct WatchOptions {
    ExportOptions download;          // each reader's, as export takes them
    std::vector<std::string> ports;  // --port, once per reader
    // Seconds between tries of a named port that does not answer.
    unsigned every = static_cast<unsigned>(kNamedPortInterval.count());
};
int RunWatch(const GlobalOptions& global, const WatchOptions& options);

// upgrade FILE --yes, refused and answered as delete's.
struct UpgradeOptions {
    std::string file;
    bool yes = false;
};
int RunUpgrade(const GlobalOptions& global, const UpgradeOptions& options);

// Where a file of the book's reads goes, in which format, and whether with the animals.
struct FileChoice {
    std::string folder = ".";
    ExportChoice choice;    // the format, its forms and a registry's fields, as given
    ExportProfile profile;  // what they make of it, checked
    bool animals = false;
};
// book
int RunBookList(const GlobalOptions& global);
// book show N [file options]
struct BookShowOptions {
    long long number = 0;
    FileChoice file;
};
int RunBookShow(const GlobalOptions& global, const BookShowOptions& options);
// book tag ID
struct BookTagOptions {
    std::vector<std::string> words;  // one form of the ID, or its country code and national number
    TagId id;                        // what `words` say
};
int RunBookTag(const GlobalOptions& global, const BookTagOptions& options);
// book export [--since DATE] [--until DATE] [--new] [file options]
struct BookExportOptions {
    std::string since;
    std::string until;
    bool onlyNew = false;
    FileChoice file;
};
int RunBookExport(const GlobalOptions& global, const BookExportOptions& options);
// book missing [--group G] [--download N | --since DATE]
struct BookMissingOptions {
    std::string group;
    long long download = 0;
    std::string since;
};
int RunBookMissing(const GlobalOptions& global, const BookMissingOptions& options);
// book unknown [--download N]
struct BookUnknownOptions {
    long long download = 0;
};
int RunBookUnknown(const GlobalOptions& global, const BookUnknownOptions& options);

// animals [--group G]
struct AnimalsOptions {
    std::string group;
};
int RunAnimals(const GlobalOptions& global, const AnimalsOptions& options);
// animals import FILE
struct AnimalsImportOptions {
    std::string file;
};
int RunAnimalsImport(const GlobalOptions& global, const AnimalsImportOptions& options);

// doctor
int RunDoctor(const GlobalOptions& global);
