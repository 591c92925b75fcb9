// One download into a file and the record book, as kavrin-cli export
// keeps it: the export's CSV writer wrapped by the book's, the outcome
// given to the book at the end. For the tests and benchmarks of several
// downloads into one book.
#pragma once

#include <filesystem>
#include <string>

#include "book/book.h"
#include "ops/csv_writer.h"
#include "ops/export.h"
#include "pty/test_feedback.h"

struct BookDownload {
    ExportResult result;
    bool booked = false;  // the book took every row and the outcome
    int64_t number = 0;   // the download's number in the book
    std::string line;     // what the book's line says
};

inline BookDownload DownloadIntoBook(const std::string& port, const std::filesystem::path& book,
                                     const std::filesystem::path& dir) {
    BookDownload download;
    PortHandle handle = nullptr;
    if (OpenCommPort(handle, port) != 0) {
        download.line = "cannot open " + port;
        return download;
    }
    TestFeedback ui;
    CsvWriter csv;
    DownloadKeeping keeping({true, book}, csv, {SystemClock().now(), port, "1.0", 0, {}, "csv"});
    std::filesystem::create_directories(dir);
    download.result = ExportRecords(ui, handle, dir, keeping.Writer(csv));
    ClosePort(handle);
    download.booked = keeping.Finish(download.result);
    download.number = keeping.Number();
    download.line = keeping.Line();
    return download;
}
