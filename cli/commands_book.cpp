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

const char* const kNoDownloadFormat = "no download %lld in the record book";
const char* const kNoReads = "no read of %s in the record book";
const char* const kCannotWrite = "%s: the file could not be written";
// Every download: each started on or after this day.
const char* const kEveryDay = "0000-01-01";

// The reads into a new file; its path on standard output.
int WriteReads(BookSession& session, const BookAnswer<std::vector<BookRead>>& reads, RowNumbers numbers,
               const FileChoice& choice, const LocalTime& time) {
    if (!reads.status.Ok()) return SayFailure(session.ui, reads.status);
    const auto files = WriteReadsFiles(session.book, reads.value, numbers, {choice.choice.format, choice.profile, choice.animals},
                                       PathFromUtf8(choice.folder), time);
    if (!files.status.Ok()) return SayFailure(session.ui, files.status);
    if (files.value.empty()) {
        session.ui.Say(FormatText(kCannotWrite, choice.folder.c_str()));
        return kExitFailed;
    }
    for (const std::filesystem::path& file : files.value) std::printf("%s\n", Utf8FromPath(file.lexically_normal()).c_str());
    return kExitOk;
}

}  // namespace

int RunBookList(const GlobalOptions& global) {
    BookSession session(global, BookAccess::Existing);
    if (!session) return session.failure;
    return PrintDownloads(session.ui, ListDownloads(session.book));
}

int RunBookShow(const GlobalOptions& global, const BookShowOptions& options) {
    BookSession session(global, BookAccess::Existing);
    if (!session) return session.failure;
    const auto download = FindDownload(session.book, options.number);
    if (!download.status.Ok()) return SayFailure(session.ui, download.status);
    if (download.value.empty()) {
        session.ui.Say(FormatText(kNoDownloadFormat, options.number));
        return kExitFailed;
    }
    const LocalTime started = LocalTimeOfText(download.value[0].started).value_or(SystemClock().now());
    return WriteReads(session, DownloadRows(session.book, options.number), RowNumbers::AsRead, options.file, started);
}

int RunBookTag(const GlobalOptions& global, const BookTagOptions& options) {
    BookSession session(global, BookAccess::Existing);
    if (!session) return session.failure;
    const auto reads = ReadsOfTag(session.book, options.id);
    if (reads.status.Ok() && reads.value.empty()) session.ui.Say(FormatText(kNoReads, SpacedTag(options.id).c_str()));
    return PrintReads(session.ui, reads);
}

int RunBookExport(const GlobalOptions& global, const BookExportOptions& options) {
    BookSession session(global, BookAccess::Existing);
    if (!session) return session.failure;
    const DownloadScope scope{0, options.since.empty() ? kEveryDay : options.since,
                              options.until.empty() ? "" : NextDay(options.until)};
    const ReadFilter filter = options.onlyNew ? ReadFilter::New : ReadFilter::All;
    return WriteReads(session, ReadsOfScope(session.book, scope, filter), RowNumbers::FromOne, options.file,
                      SystemClock().now());
}

int RunBookMissing(const GlobalOptions& global, const BookMissingOptions& options) {
    BookSession session(global, BookAccess::Existing);
    if (!session) return session.failure;
    return PrintAnimals(session.ui, MissingAnimals(session.book, options.group, {options.download, options.since, ""}));
}

int RunBookUnknown(const GlobalOptions& global, const BookUnknownOptions& options) {
    BookSession session(global, BookAccess::Existing);
    if (!session) return session.failure;
    return PrintReads(session.ui, ReadsOfScope(session.book, {options.download, "", ""}, ReadFilter::Unknown));
}
