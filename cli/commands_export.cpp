// kavrin-cli export [-o DIR] [--format csv|xlsx|jsonl] [--delete]: every
// stored record into the dated file in DIR, through the record export; the
// file's path on standard output. With --delete the reader is then cleared,
// but only once the file is verified complete on the disk. An interrupt
// stops the export after the request in flight, keeps every row fetched and
// deletes nothing.
#include <cstdio>
#include <filesystem>

#include "cli/argument_checks.h"
#include "cli/commands.h"
#include "cli/reader_session.h"
#include "cli/verified_clear.h"
#include "formats/record_formats.h"
#include "link/utf8_path.h"
#include "ops/export.h"

namespace {

const char* const kHelp =
    "download all records into the dated file in DIR (default: the working directory); print the file's path";
const char* const kFolderHelp = "the folder for the file";
const char* const kFormatHelp =
    "csv (default: the window's file), xlsx (an Excel workbook, identifiers as text) or jsonl (one JSON object a line)";
const char* const kDeleteHelp =
    "then delete the records from the reader, once the file is verified complete on the disk and a second "
    "reading of every record agrees with it (about twice the time of the export alone)";
const char* const kWorkingFolder = ".";
const char* const kPartialFile = "the rows fetched before the failure are in ";
const char* const kInterruptedFile = "interrupted: the rows fetched before the interrupt are in ";

int Export(CliFeedback& ui, PortHandle port, const std::string& folder, const std::string& format, bool clear) {
    ui.CatchInterrupts();
    std::unique_ptr<RecordWriter> formatWriter = MakeRecordWriter(format);
    KeepingWriter writer(*formatWriter);
    ExportResult result = ExportRecords(ui, port, PathFromUtf8(folder), clear ? writer : *formatWriter);
    ui.FinishProgress();
    std::string file = Utf8FromPath(result.file.lexically_normal());
    switch (result.outcome) {
    case Outcome::Ok:
        // An empty reader is not a failure: there is simply no file, and nothing to delete.
        if (result.file.empty()) return kExitOk;
        std::printf("%s\n", file.c_str());
        break;
    case Outcome::Stopped:
        if (!result.file.empty()) ui.Say(kInterruptedFile + file);
        break;
    case Outcome::TransactionFailed:
        if (!result.file.empty()) ui.Say(kPartialFile + file);
        break;
    default: break;
    }
    int status = ExitStatusFor(ui, result);
    if (!clear) return status;
    // Says why it will not clear the reader after anything short of a saved export.
    int cleared = ClearAfterExport(ui, port, result, writer.Records());
    return status == kExitInterrupted ? status : cleared;
}

}  // namespace

void AddExport(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = app.add_subcommand("export", kHelp);
    auto folder = std::make_shared<std::string>(kWorkingFolder);
    auto clear = std::make_shared<bool>(false);
    command->add_option("-o,--output", *folder, kFolderHelp)->type_name("DIR")->check(CLI::Validator(CheckFolder, ""));
    auto format = std::make_shared<std::string>(kDefaultRecordFormat);
    command->add_option("-f,--format", *format, kFormatHelp)->type_name("FORMAT")->check(CLI::IsMember(RecordFormatNames()));
    command->add_flag("--delete", *clear, kDeleteHelp);
    command->callback([&global, &action, folder, format, clear] {
        action = [&global, folder, format, clear] {
            return RunOnReader(global, [&](CliFeedback& ui, const Reader& reader) {
                return Export(ui, reader.port, *folder, *format, *clear);
            });
        };
    });
}
