#include "cli/app.h"

#include <cstdio>

#include "cli/command_line.h"
#include "cli/interrupts.h"

int RunCommandLine(int argc, const char* const* argv) {
    const CommandLine line = ParseCommandLine(argc, argv);
    const GlobalOptions& global = line.global;
    int status = line.status;
    switch (line.subcommand) {
    case Subcommand::None: return status;
    case Subcommand::Ports: status = RunPorts(line.ports); break;
    case Subcommand::Info: status = RunInfo(global); break;
    case Subcommand::Count: status = RunCount(global); break;
    case Subcommand::Export: status = RunExport(global, line.exportRecords); break;
    case Subcommand::Watch: status = RunWatch(global, line.watch); break;
    case Subcommand::Delete: status = RunDelete(global); break;
    case Subcommand::SyncTime: status = RunSyncTime(global); break;
    case Subcommand::PowerDown: status = RunPowerDown(global, line.powerDown); break;
    case Subcommand::Upgrade: status = RunUpgrade(global, line.upgrade); break;
    case Subcommand::BookList: status = RunBookList(global); break;
    case Subcommand::BookShow: status = RunBookShow(global, line.bookShow); break;
    case Subcommand::BookTag: status = RunBookTag(global, line.bookTag); break;
    case Subcommand::BookExport: status = RunBookExport(global, line.bookExport); break;
    case Subcommand::BookMissing: status = RunBookMissing(global, line.bookMissing); break;
    case Subcommand::BookUnknown: status = RunBookUnknown(global, line.bookUnknown); break;
    case Subcommand::Animals: status = RunAnimals(global, line.animals); break;
    case Subcommand::AnimalsImport: status = RunAnimalsImport(global, line.animalsImport); break;
    case Subcommand::Doctor: status = RunDoctor(global); break;
    }
    std::fflush(stdout);
    if (status == kExitInterrupted) EndAsInterrupted();
    return status;
}
