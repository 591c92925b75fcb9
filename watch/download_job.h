// One reader's download, as kavrin-cli export and the watch both make it
// once the reader is connected: every record into a new file in the format
// asked for, and into the record book block by block (DownloadKeeping),
// with the animal list's columns where asked; then what became of the
// book, the rows no registry takes, the files; and, asked to clear, the
// reader cleared once the download is verified (verified_clear.h).
//
// The front end runs the export itself between the job's making and its
// end, with the job's writer:
//
//   DownloadJob job(ui, settings, port, connection);
//   ExportResult result = ExportRecords(ui, handle, settings.folder, job.Writer());
//   DownloadReport report = job.Finish(handle, result);
//
// Each job opens a book of its own: jobs on several threads write one book
// at once. Every line it says goes through `ui`, in the order a terminal
// shows it; its texts are here and in verified_clear.cpp only.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "book/book.h"
#include "formats/formats.h"
#include "ops/connection.h"
#include "ops/export.h"
#include "watch/download_feedback.h"
#include "watch/verified_clear.h"

// What a download writes and keeps.
struct DownloadSettings {
    std::filesystem::path folder;
    std::string format{kDefaultRecordFormat};
    ExportProfile profile;
    bool animals = false;  // add the animal list's columns, read from the book
    bool clear = false;    // then clear the reader, once the download is verified
    BookChoice book;
};

struct DownloadReport {
    ExportResult result;
    std::vector<std::string> files;  // the export's file and any that a split export wrote after it
    int64_t number = 0;              // the download's number in the book; 0 when it is not there
    DownloadStatus status = DownloadStatus::Ok;
};

class DownloadJob {
public:
    // `connection`: what the connect to `port` found (the firmware version, for the book).
    DownloadJob(DownloadFeedback& ui, const DownloadSettings& settings, const std::string& port,
                const ConnectResult& connection);
    DownloadJob(const DownloadJob&) = delete;
    DownloadJob& operator=(const DownloadJob&) = delete;

    // The writer the export writes through: the format's, into the book too.
    RecordWriter& Writer() { return book_.Writer(keeping_); }
    // After the export over `port`: the book's outcome, the lines, the clear.
    DownloadReport Finish(PortHandle port, const ExportResult& result);

private:
    DownloadFeedback& ui_;
    DownloadSettings settings_;
    KnownAnimals known_;  // before the writer, which reads it
    std::unique_ptr<RecordWriter> format_;
    KeepingWriter keeping_;  // kept for the clear's second reading, and to count the rows no registry takes
    DownloadKeeping book_;
};
