// kavrin-cli export [-o DIR] [--format FORMAT] [forms and registry
// options] [--delete]: every stored record into the dated file in DIR,
// through the record export; the file's path on standard output (each
// file's, when a NAIT export is split). Unless --no-book, the download goes
// into the record book too, block by block as the file gets its rows; its
// own line says how many records are new to the book, or what happened to
// the book: a book that fails never costs the file, but fails the command.
// With --delete the reader is then cleared, but only once the file is
// verified complete on the disk and the book, if kept, holds the download.
// An interrupt stops the export after the request in flight, keeps every
// row fetched and deletes nothing.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "book/book.h"
#include "cli/argument_checks.h"
#include "cli/book_session.h"
#include "cli/commands.h"
#include "cli/export_options.h"
#include "cli/reader_session.h"
#include "cli/verified_clear.h"
#include "formats/formats.h"
#include "link/utf8_path.h"
#include "ops/export.h"
#include "ops/format_text.h"

namespace {

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
const char* const kWorkingFolder = ".";
const char* const kPartialFile = "the rows fetched before the failure are in ";
const char* const kInterruptedFile = "interrupted: the rows fetched before the interrupt are in ";
const char* const kFileSeparator = ", ";
const char* const kNotInBook = "not deleting the reader's records: the record book does not hold the download";
const char* const kWideCountriesFormat =
    "rows with a country code above 999, written as decoded in four digits (no registry takes them): %lld";
constexpr unsigned kWidestThreeDigitCountry = 999;

// The export's file and any that a split export wrote after it.
std::vector<std::string> FilesWritten(const ExportResult& result, const RecordWriter& writer) {
    if (result.file.empty()) return {};
    std::vector<std::string> files = {Utf8FromPath(result.file.lexically_normal())};
    for (const auto& further : writer.FurtherFiles()) files.push_back(Utf8FromPath(further.lexically_normal()));
    return files;
}

std::string Joined(const std::vector<std::string>& files) {
    std::string text;
    for (const std::string& file : files) text += (text.empty() ? "" : kFileSeparator) + file;
    return text;
}

void SayWideCountries(CliFeedback& ui, const std::vector<TagRecord>& records) {
    const long long wide = std::count_if(records.begin(), records.end(), [](const TagRecord& record) {
        return DecodeTagRecord(record).id.country > kWidestThreeDigitCountry;
    });
    if (wide > 0) ui.Say(FormatText(kWideCountriesFormat, wide));
}

DownloadStart StartOf(const Reader& reader, const std::string& format) {
    return {SystemClock().now(), reader.name,
            FirmwareText(reader.connection.major, reader.connection.minor), 0, {}, format};
}

int Export(CliFeedback& ui, const GlobalOptions& global, const Reader& reader, const std::string& folder,
           const std::string& format, ExportProfile profile, bool clear, bool animals) {
    ui.CatchInterrupts();
    // Filled from the book once it is open; a book that failed leaves the columns empty, never the file unwritten.
    KnownAnimals known;
    if (animals) profile.forms.extra = &known;
    std::unique_ptr<RecordWriter> formatWriter = MakeRecordWriter(format, profile);
    // Kept for --delete's second reading, and to count the rows no registry takes.
    KeepingWriter writer(*formatWriter);
    DownloadKeeping book(ChooseBook(global), writer, StartOf(reader, format));
    if (animals && book.TheBook().IsOpen()) {
        if (const BookStatus loaded = known.Load(book.TheBook()); !loaded.Ok()) ui.Say(loaded.text);
    }
    ExportResult result = ExportRecords(ui, reader.port, PathFromUtf8(folder), book.Writer(writer));
    ui.FinishProgress();
    const bool booked = book.Finish(result);
    if (const std::string line = book.Line(); !line.empty()) ui.Say(line);
    const std::vector<std::string> files = FilesWritten(result, writer);
    SayWideCountries(ui, writer.Records());
    switch (result.outcome) {
    case Outcome::Ok:
        // An empty reader is not a failure: there is simply no file, and nothing to delete.
        if (files.empty()) return booked ? kExitOk : kExitFailed;
        for (const std::string& file : files) std::printf("%s\n", file.c_str());
        break;
    case Outcome::Stopped:
        if (!files.empty()) ui.Say(kInterruptedFile + Joined(files));
        break;
    case Outcome::TransactionFailed:
        if (!files.empty()) ui.Say(kPartialFile + Joined(files));
        break;
    default: break;
    }
    int status = ExitStatusFor(ui, result);
    if (status == kExitOk && !booked) status = kExitFailed;
    if (!clear) return status;
    if (status != kExitInterrupted && result.Ok() && !book.HoldsAll(result)) {
        ui.Say(kNotInBook);
        return kExitFailed;
    }
    // Says why it will not clear the reader after anything short of a saved export.
    int cleared = ClearAfterExport(ui, reader.port, result, writer.Records());
    return status == kExitInterrupted ? status : cleared;
}

}  // namespace

void AddExport(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = app.add_subcommand("export", kExportHelp);
    auto folder = std::make_shared<std::string>(kWorkingFolder);
    auto clear = std::make_shared<bool>(false);
    auto animals = std::make_shared<bool>(false);
    command->add_option("-o,--output", *folder, kExportFolderHelp)->type_name("DIR")->check(CLI::Validator(CheckFolder, ""));
    auto choice = std::make_shared<ExportChoice>();
    AddExportOptions(*command, *choice);
    command->add_flag("--delete", *clear, kExportDeleteHelp);
    command->add_flag("--animals", *animals, kExportAnimalsHelp);
    command->callback([&global, &action, command, folder, choice, clear, animals] {
        if (*animals && global.noBook) throw CLI::ValidationError("--animals", kAnimalsWithoutBook);
        const std::vector<std::string> registries = RegistryFormatNames();
        if (*animals && std::find(registries.begin(), registries.end(), choice->format) != registries.end())
            throw CLI::ValidationError("--animals", kAnimalsInRegistryFile);
        const auto profile =
            std::make_shared<ExportProfile>(ProfileFor(*command, *choice, DateOf(SystemClock().now()), *clear));
        action = [&global, folder, choice, profile, clear, animals] {
            return RunOnReader(global, [&](CliFeedback& ui, const Reader& reader) {
                return Export(ui, global, reader, *folder, choice->format, *profile, *clear, *animals);
            });
        };
    });
}
