// kavrin-cli book: what the record book holds. Without a subcommand, its
// downloads one a line; `show N` writes one download's rows into a file in
// any export format; `tag ID` lists every read of one tag, newest first;
// `export` writes the reads of a period, each once; `missing` lists the
// animals of the list not read; `unknown` the reads of no animal in the
// list. Lists go to standard output; animals as CSV, which a spreadsheet
// opens and `animals import` takes back.
#include <cstdio>
#include <memory>
#include <string>

#include "book/book.h"
#include "cli/argument_checks.h"
#include "cli/book_session.h"
#include "cli/commands.h"
#include "cli/listing.h"
#include "formats/formats.h"
#include "link/utf8_path.h"
#include "ops/clock.h"
#include "ops/format_text.h"

namespace {

const char* const kBookListHelp = "list the downloads in the record book, one a line";
const char* const kShowHelp = "write the rows of download N into a new file in DIR, in any export format";
const char* const kTagHelp = "list every read of one tag, newest first (ID in any form: 982000123456789, "
                             "\"982 000123456789\", 0982000123456789, 982-000123456789, or \"982\" \"123456789\")";
const char* const kBookExportHelp = "write the reads of the downloads of a period into a new file in DIR, each read once";
const char* const kMissingHelp = "list the animals of the list (or of a group) not read, as CSV";
const char* const kUnknownHelp = "list the reads whose tag is not in the animal list";
const char* const kNumberHelp = "the download's number (see kavrin-cli book)";
const char* const kIdHelp = "the tag's ID, or its country code and national number";
const char* const kSinceHelp = "downloads from this day on (YYYY-MM-DD)";
const char* const kUntilHelp = "downloads up to this day, that day included (YYYY-MM-DD)";
const char* const kNewHelp = "only the reads that the period's downloads brought into the book";
const char* const kReadsGroupHelp = "only the animals of this group";
const char* const kDownloadHelp = "in this download (default: the latest)";
const char* const kShowFolderHelp = "the folder for the file";
const char* const kShowFormatHelp = "csv (default), xlsx or jsonl, as export writes them";
const char* const kShowAnimalsHelp = "add the visual tag number, name and group of each read whose tag the animal list has";

const char* const kNoDownloadFormat = "no download %lld in the record book";
const char* const kNoReads = "no read of %s in the record book";
const char* const kCannotWrite = "%s: the file could not be written";
const char* const kDownloadsHeading = "DOWNLOAD  WHEN                 RECORDS    NEW  OUTCOME     PORT  FILE";
const char* const kDownloadFormat = "%8lld  %-19s  %7d  %5d  %-10s  %s  %s\n";
const char* const kShowDefaultFolder = ".";
// Every download: each started on or after this day.
const char* const kEveryDay = "0000-01-01";

int ListDownloadsCommand(CliFeedback& ui, Book& book) {
    const auto downloads = ListDownloads(book);
    if (!downloads.status.Ok()) return SayFailure(ui, downloads.status);
    std::printf("%s\n", kDownloadsHeading);
    for (const DownloadSummary& d : downloads.value) {
        std::printf(kDownloadFormat, static_cast<long long>(d.number), d.started.c_str(), d.rows, d.newRows,
                    d.outcome.c_str(), d.port.c_str(), d.file.c_str());
    }
    return kExitOk;
}

// Where a file of reads goes, in which format, and whether with the animals.
struct FileChoice {
    std::string folder = kShowDefaultFolder;
    std::string format = std::string(kDefaultRecordFormat);
    bool animals = false;
};

// The reads into a new file; its path on standard output.
int WriteReads(CliFeedback& ui, Book& book, const std::vector<BookRead>& reads, RowNumbers numbers,
               const FileChoice& choice, const LocalTime& time) {
    const auto files = WriteReadsFiles(book, reads, numbers, {choice.format, {}, choice.animals},
                                       PathFromUtf8(choice.folder), time);
    if (!files.status.Ok()) return SayFailure(ui, files.status);
    if (files.value.empty()) {
        ui.Say(FormatText(kCannotWrite, choice.folder.c_str()));
        return kExitFailed;
    }
    for (const std::filesystem::path& file : files.value) std::printf("%s\n", Utf8FromPath(file.lexically_normal()).c_str());
    return kExitOk;
}

int Show(CliFeedback& ui, Book& book, long long number, const FileChoice& choice) {
    const auto download = FindDownload(book, number);
    if (!download.status.Ok()) return SayFailure(ui, download.status);
    if (download.value.empty()) {
        ui.Say(FormatText(kNoDownloadFormat, number));
        return kExitFailed;
    }
    const auto rows = DownloadRows(book, number);
    if (!rows.status.Ok()) return SayFailure(ui, rows.status);
    const LocalTime started = LocalTimeOfText(download.value[0].started).value_or(SystemClock().now());
    return WriteReads(ui, book, rows.value, RowNumbers::AsRead, choice, started);
}

int Tag(CliFeedback& ui, Book& book, const TagId& id) {
    const auto reads = ReadsOfTag(book, id);
    if (!reads.status.Ok()) return SayFailure(ui, reads.status);
    if (reads.value.empty()) ui.Say(FormatText(kNoReads, SpacedTag(id).c_str()));
    PrintReads(reads.value);
    return kExitOk;
}

int ExportPeriod(CliFeedback& ui, Book& book, const DownloadScope& scope, bool onlyNew, const FileChoice& choice) {
    const auto reads = ReadsOfScope(book, scope, onlyNew ? ReadFilter::New : ReadFilter::All);
    if (!reads.status.Ok()) return SayFailure(ui, reads.status);
    return WriteReads(ui, book, reads.value, RowNumbers::FromOne, choice, SystemClock().now());
}

int Missing(CliFeedback& ui, Book& book, const std::string& group, const DownloadScope& scope) {
    const auto animals = MissingAnimals(book, group, scope);
    if (!animals.status.Ok()) return SayFailure(ui, animals.status);
    PrintAnimals(animals.value);
    return kExitOk;
}

int Unknown(CliFeedback& ui, Book& book, const DownloadScope& scope) {
    const auto reads = ReadsOfScope(book, scope, ReadFilter::Unknown);
    if (!reads.status.Ok()) return SayFailure(ui, reads.status);
    PrintReads(reads.value);
    return kExitOk;
}

// The ID from one text or two; a refusal is a usage error, said before the book is opened.
std::string CheckTagWords(const std::vector<std::string>& words, TagId& id) {
    const TagIdParse parsed = words.size() == 1 ? ParseTagId(words[0]) : ParseTagId(words[0], words[1]);
    if (parsed.id) id = *parsed.id;
    return parsed.id ? "" : parsed.refusal;
}

void AddFileOptions(CLI::App* command, FileChoice& choice) {
    command->add_option("-o,--output", choice.folder, kShowFolderHelp)->type_name("DIR")->check(CLI::Validator(CheckFolder, ""));
    command->add_option("-f,--format", choice.format, kShowFormatHelp)->type_name("FORMAT")->check(CLI::IsMember(RecordFormatNames()));
    command->add_flag("--animals", choice.animals, kShowAnimalsHelp);
}

void AddShow(CLI::App* book, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = book->add_subcommand("show", kShowHelp);
    auto number = std::make_shared<long long>(0);
    auto choice = std::make_shared<FileChoice>();
    command->add_option("N", *number, kNumberHelp)->required()->check(CLI::PositiveNumber);
    AddFileOptions(command, *choice);
    command->callback([&global, &action, number, choice] {
        action = [&global, number, choice] {
            return RunOnBook(global, BookAccess::Existing,
                             [&](CliFeedback& ui, Book& book) { return Show(ui, book, *number, *choice); });
        };
    });
}

void AddTag(CLI::App* book, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = book->add_subcommand("tag", kTagHelp);
    auto words = std::make_shared<std::vector<std::string>>();
    auto id = std::make_shared<TagId>();
    command->add_option("ID", *words, kIdHelp)->required()->expected(1, 2)->type_name("ID");
    command->callback([&global, &action, words, id] {
        if (const std::string refusal = CheckTagWords(*words, *id); !refusal.empty()) {
            throw CLI::ValidationError("ID", refusal);
        }
        action = [&global, id] {
            return RunOnBook(global, BookAccess::Existing, [&](CliFeedback& ui, Book& book) { return Tag(ui, book, *id); });
        };
    });
}

void AddPeriodExport(CLI::App* book, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = book->add_subcommand("export", kBookExportHelp);
    auto since = std::make_shared<std::string>();
    auto until = std::make_shared<std::string>();
    auto onlyNew = std::make_shared<bool>(false);
    auto choice = std::make_shared<FileChoice>();
    command->add_option("--since", *since, kSinceHelp)->type_name("DATE")->check(CLI::Validator(CheckDate, ""));
    command->add_option("--until", *until, kUntilHelp)->type_name("DATE")->check(CLI::Validator(CheckDate, ""));
    command->add_flag("--new", *onlyNew, kNewHelp);
    AddFileOptions(command, *choice);
    command->callback([&global, &action, since, until, onlyNew, choice] {
        action = [&global, since, until, onlyNew, choice] {
            const DownloadScope scope{0, since->empty() ? kEveryDay : *since, until->empty() ? "" : NextDay(*until)};
            return RunOnBook(global, BookAccess::Existing, [&](CliFeedback& ui, Book& book) {
                return ExportPeriod(ui, book, scope, *onlyNew, *choice);
            });
        };
    });
}

void AddMissing(CLI::App* book, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = book->add_subcommand("missing", kMissingHelp);
    auto group = std::make_shared<std::string>();
    auto download = std::make_shared<long long>(0);
    auto since = std::make_shared<std::string>();
    command->add_option("--group", *group, kReadsGroupHelp)->type_name("G");
    CLI::Option* inDownload =
        command->add_option("--download", *download, kDownloadHelp)->type_name("N")->check(CLI::PositiveNumber);
    command->add_option("--since", *since, kSinceHelp)->type_name("DATE")->check(CLI::Validator(CheckDate, ""))->excludes(inDownload);
    command->callback([&global, &action, group, download, since] {
        action = [&global, group, download, since] {
            const DownloadScope scope{*download, *since, ""};
            return RunOnBook(global, BookAccess::Existing,
                             [&](CliFeedback& ui, Book& book) { return Missing(ui, book, *group, scope); });
        };
    });
}

void AddUnknown(CLI::App* book, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = book->add_subcommand("unknown", kUnknownHelp);
    auto download = std::make_shared<long long>(0);
    command->add_option("--download", *download, kDownloadHelp)->type_name("N")->check(CLI::PositiveNumber);
    command->callback([&global, &action, download] {
        action = [&global, download] {
            return RunOnBook(global, BookAccess::Existing,
                             [&](CliFeedback& ui, Book& book) { return Unknown(ui, book, {*download, "", ""}); });
        };
    });
}

}  // namespace

void AddBook(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = app.add_subcommand("book", kBookListHelp);
    command->require_subcommand(0, 1);
    AddShow(command, global, action);
    AddTag(command, global, action);
    AddPeriodExport(command, global, action);
    AddMissing(command, global, action);
    AddUnknown(command, global, action);
    command->callback([command, &global, &action] {
        if (!command->get_subcommands().empty()) return;
        action = [&global] { return RunOnBook(global, BookAccess::Existing, ListDownloadsCommand); };
    });
}
