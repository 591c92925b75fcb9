// kavrin-cli export [-o DIR] [--format csv|xlsx|jsonl]: every stored record
// into the dated file in DIR, through the record export; the file's path on
// standard output.
#include <cstdio>
#include <filesystem>

#include "cli/argument_checks.h"
#include "cli/exit_codes.h"
#include "cli/reader_session.h"
#include "cli/subcommands.h"
#include "formats/record_formats.h"
#include "link/utf8_path.h"
#include "ops/export.h"

namespace {

const char* const kHelp =
    "download all records into the dated file in DIR (default: the working directory); print the file's path";
const char* const kFolderHelp = "the folder for the file";
const char* const kFormatHelp =
    "csv (default: the window's file), xlsx (an Excel workbook, identifiers as text) or jsonl (one JSON object a line)";
const char* const kWorkingFolder = ".";
const char* const kPartialFile = "the rows fetched before the failure are in ";

int Export(CliFeedback& ui, const std::string& folder, const std::string& format) {
    std::unique_ptr<RecordWriter> writer = MakeRecordWriter(format);
    ExportResult result = writer ? ExportRecords(ui, PathFromUtf8(folder), *writer) : ExportRecords(ui, PathFromUtf8(folder));
    ui.FinishProgress();
    std::string file = Utf8FromPath(result.file.lexically_normal());
    switch (result.status) {
    case ExportStatus::Saved: std::printf("%s\n", file.c_str()); return kExitOk;
    // An empty reader is not a failure: there is simply no file.
    case ExportStatus::NoRecords: return kExitOk;
    case ExportStatus::CannotWrite:
    case ExportStatus::RecordsFailed: ui.Say(kPartialFile + file); return kExitFailed;
    case ExportStatus::CountFailed:
    case ExportStatus::CannotCreate: return kExitFailed;
    }
    return kExitFailed;
}

void AddExport(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = app.add_subcommand("export", kHelp);
    auto folder = std::make_shared<std::string>(kWorkingFolder);
    command->add_option("-o,--output", *folder, kFolderHelp)->type_name("DIR")->check(CLI::Validator(CheckFolder, ""));
    auto format = std::make_shared<std::string>(kDefaultRecordFormat);
    command->add_option("-f,--format", *format, kFormatHelp)->type_name("FORMAT")->check(CLI::IsMember(RecordFormatNames()));
    command->callback([&global, &action, folder, format] {
        action = OnReader(global, [folder, format](CliFeedback& ui) { return Export(ui, *folder, *format); });
    });
}

[[maybe_unused]] const bool kRegistered = RegisterCommand({40, AddExport});

}  // namespace
