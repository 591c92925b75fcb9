// kavrin-cli export [-o DIR] [--format FORMAT] [forms and registry
// options] [--animals] [--delete]: every stored record into the dated file
// in DIR, through the record export; the file's path on standard output
// (each file's, when a NAIT export is split). Unless --no-book, the
// download goes into the record book too, block by block as the file gets
// its rows; its own line says how many records are new to the book, or
// what happened to the book: a book that fails never costs the file, but
// fails the command. With --delete the reader is then cleared, but only
// once the file is verified complete on the disk and the book, if kept,
// holds the download. An interrupt stops the export after the request in
// flight, keeps every row fetched and deletes nothing. The download
// itself is the watch's too (watch/download_job.h).
#include "cli/commands.h"
#include "cli/download_settings.h"
#include "cli/reader_session.h"
#include "ops/export.h"
#include "watch/watch.h"

namespace {

int ExitStatusOf(DownloadStatus status) {
    switch (status) {
    case DownloadStatus::Ok: return kExitOk;
    case DownloadStatus::Stopped: return kExitInterrupted;
    case DownloadStatus::Failed: break;
    }
    return kExitFailed;
}

}  // namespace

int RunExport(const GlobalOptions& global, const ExportOptions& options) {
    CliFeedback ui;
    ReaderSession reader(global, ui);
    if (!reader) return reader.Failure();
    ui.CatchInterrupts();
    const DownloadSettings settings = SettingsFor(global, options, options.profile);
    DownloadJob job(ui, settings, reader->name, reader->connection);
    const ExportResult result = ExportRecords(ui, reader->port, settings.folder, job.Writer());
    return ExitStatusOf(job.Finish(reader->port, result).status);
}
