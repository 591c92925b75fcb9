// kavrin-cli's command line, parsed and checked: which subcommand, and its
// options (commands.h).
//
// Everything on the command line is checked here, before any subcommand
// starts, so bad usage ends with kExitUsage before a byte reaches a reader.
// Help, the version and usage errors are printed here too.
#pragma once

#include "cli/commands.h"

enum class Subcommand {
    None,  // the program ends at parsing, with CommandLine::status
    Ports,
    Info,
    Count,
    Export,
    Watch,
    Delete,
    SyncTime,
    PowerDown,
    Upgrade,
    BookList,
    BookShow,
    BookTag,
    BookExport,
    BookMissing,
    BookUnknown,
    Animals,
    AnimalsImport,
    Doctor,
};

struct CommandLine {
    Subcommand subcommand = Subcommand::None;
    // With Subcommand::None: 0 after --help or --version, kExitUsage after bad usage.
    int status = kExitOk;
    GlobalOptions global;
    PortsOptions ports;
    DeleteOptions deletion;
    PowerDownOptions powerDown;
    ExportOptions exportRecords;
    WatchOptions watch;
    UpgradeOptions upgrade;
    BookShowOptions bookShow;
    BookTagOptions bookTag;
    BookExportOptions bookExport;
    BookMissingOptions bookMissing;
    BookUnknownOptions bookUnknown;
    AnimalsOptions animals;
    AnimalsImportOptions animalsImport;
};

// `argv` in UTF-8, program name first.
CommandLine ParseCommandLine(int argc, const char* const* argv);
