// kavrin-cli export [-o DIR]: every stored record into the dated CSV file
// in DIR, through the record export; the file's path on standard output.
#include <cstdio>
#include <filesystem>

#include "cli/argument_checks.h"
#include "cli/exit_codes.h"
#include "cli/reader_session.h"
#include "cli/subcommands.h"
#include "cli/utf8_path.h"
#include "ops/export.h"

namespace {

const char* const kHelp =
    "download all records into the dated CSV file in DIR (default: the working directory); print the file's path";
const char* const kFolderHelp = "the folder for the CSV file";
const char* const kWorkingFolder = ".";

// An empty reader is not a failure: there is simply no file.
const char* const kNoRecords = "Records cnt is 0.";

int Export(CliFeedback& ui, const std::string& folder) {
    std::optional<std::filesystem::path> written = ExportRecords(ui, PathFromUtf8(folder));
    if (!written) return ui.Logged(kNoRecords) ? kExitOk : kExitFailed;
    std::printf("%s\n", Utf8FromPath(written->lexically_normal()).c_str());
    return kExitOk;
}

void AddExport(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = app.add_subcommand("export", kHelp);
    auto folder = std::make_shared<std::string>(kWorkingFolder);
    command->add_option("-o,--output", *folder, kFolderHelp)->type_name("DIR")->check(CLI::Validator(CheckFolder, ""));
    command->callback([&global, &action, folder] {
        action = OnReader(global, [folder](CliFeedback& ui) { return Export(ui, *folder); });
    });
}

[[maybe_unused]] const bool kRegistered = RegisterCommand({40, AddExport});

}  // namespace
