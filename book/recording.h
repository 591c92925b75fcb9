// One download going into the book as it happens.
//
// Begin adds the download, marked unfinished. Add puts one row in, with
// its read, into a transaction that stays open until Commit: the rows of a
// block arrive together, and one commit a block costs a tenth of one a row.
// A process killed at any moment leaves the book with every row committed
// before it and nothing half-written; commit before waiting on the reader
// again and the book holds what the file holds. A read already in the book
// (the same 16 bytes) is not new: the row points at it. Sync and Finish
// commit what is open, with a sync of the disk, so what they report
// survives a power cut too: call one of them before saying "saved".
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "book/book_file.h"
#include "book/statement.h"
#include "ops/clock.h"
#include "ops/tag_record.h"

struct DownloadStart {
    LocalTime when;
    std::string port;
    std::string firmware;  // the reader's firmware version as it reported it
    int32_t reported = 0;  // the record count the reader reported
    std::string file;      // the export file, UTF-8
    std::string format;    // "csv", "xlsx", ...
};

// What became of a download, as the book's outcome column spells it.
enum class DownloadOutcome {
    Unfinished,  // never finished: the program stopped or was killed
    Complete,    // every record the reader reported
    Stopped,     // the user stopped it; the rows fetched are kept
    Failed,      // the reader stopped answering or the file failed; the rows fetched are kept
};

const char* OutcomeName(DownloadOutcome outcome);

class Recording {
public:
    explicit Recording(Book& book) : book_(book) {}

    BookStatus Begin(const DownloadStart& start);
    // Row `row` (from 1): the record as read and its decoding.
    BookStatus Add(int row, const TagRecord& record, const DecodedTag& tag);
    // The rows added so far, into the file.
    BookStatus Commit();
    // Every row added so far on the disk; marks when the rows ended.
    BookStatus Sync();
    // The outcome and the count the reader reported, on the disk.
    BookStatus Finish(DownloadOutcome outcome, int32_t reported);

    int64_t Number() const { return number_; }
    // Rows committed, and of them the reads new to the book.
    int Rows() const { return rows_; }
    int NewRows() const { return newRows_; }

private:
    BookStatus SyncedUpdate(Statement& update);
    BookStatus Failed(int code);

    Book& book_;
    int64_t number_ = 0;
    int rows_ = 0;
    int newRows_ = 0;
    int pendingRows_ = 0;     // added, not yet committed
    int pendingNewRows_ = 0;
    std::unique_ptr<Statement> begin_;
    std::unique_ptr<Statement> commit_;
    std::unique_ptr<Statement> insertRead_;
    std::unique_ptr<Statement> insertRow_;
};
