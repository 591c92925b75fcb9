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
#include "cli/book_session.h"
#include "cli/commands.h"
#include "cli/reader_session.h"
#include "cli/verified_clear.h"
#include "formats/formats.h"
#include "link/utf8_path.h"
#include "ops/clock.h"
#include "ops/export.h"
#include "ops/format_text.h"

namespace {

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

// The files the export wrote: on standard output when it saved them all,
// else said with why they hold only part.
void SayFiles(CliFeedback& ui, const ExportResult& result, const std::vector<std::string>& files) {
    switch (result.outcome) {
    case Outcome::Ok:
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
}

}  // namespace

int RunExport(const GlobalOptions& global, const ExportOptions& options) {
    CliFeedback ui;
    ReaderSession reader(global, ui);
    if (!reader) return reader.Failure();
    ui.CatchInterrupts();
    // Filled from the book once it is open; a book that failed leaves the columns empty, never the file unwritten.
    KnownAnimals known;
    ExportProfile profile = options.profile;
    if (options.animals) profile.forms.extra = &known;
    std::unique_ptr<RecordWriter> formatWriter = MakeRecordWriter(options.choice.format, profile);
    // Kept for --delete's second reading, and to count the rows no registry takes.
    KeepingWriter writer(*formatWriter);
    DownloadKeeping book(ChooseBook(global), writer, StartOf(*reader, options.choice.format));
    if (options.animals && book.TheBook().IsOpen()) {
        if (const BookStatus loaded = known.Load(book.TheBook()); !loaded.Ok()) ui.Say(loaded.text);
    }
    ExportResult result = ExportRecords(ui, reader->port, PathFromUtf8(options.folder), book.Writer(writer));
    ui.FinishProgress();
    const bool booked = book.Finish(result);
    if (const std::string line = book.Line(); !line.empty()) ui.Say(line);
    const std::vector<std::string> files = FilesWritten(result, writer);
    SayWideCountries(ui, writer.Records());
    SayFiles(ui, result, files);
    // An empty reader is not a failure: there is simply no file, and nothing to delete.
    if (result.Ok() && files.empty()) return booked ? kExitOk : kExitFailed;
    int status = ExitStatusFor(ui, result);
    if (status == kExitOk && !booked) status = kExitFailed;
    if (!options.clear) return status;
    if (status != kExitInterrupted && result.Ok() && !book.HoldsAll(result)) {
        ui.Say(kNotInBook);
        return kExitFailed;
    }
    // Says why it will not clear the reader after anything short of a saved export.
    const int cleared = ClearAfterExport(ui, reader->port, result, writer.Records());
    return status == kExitInterrupted ? status : cleared;
}
