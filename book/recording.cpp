#include "book/recording.h"

#include <sqlite3.h>

#include "book/local_time_text.h"
#include "ops/csv_writer.h"

namespace {

const char* const kInsertDownload =
    "INSERT INTO downloads (started, port, firmware, reported, file, format) VALUES (?, ?, ?, ?, ?, ?)";
const char* const kInsertRead =
    "INSERT OR IGNORE INTO reads (raw, type, country, national, tid, time, first_download, first_row)"
    " VALUES (?, ?, ?, ?, ?, ?, ?, ?)";
const char* const kInsertRow =
    "INSERT INTO download_rows (download, row, country, national, raw) VALUES (?, ?, ?, ?, ?)";
const char* const kSetEnded = "UPDATE downloads SET ended = ? WHERE number = ?";
const char* const kSetOutcome = "UPDATE downloads SET outcome = ?, reported = ?, ended = ? WHERE number = ?";

std::string Now() { return LocalTimeText(SystemClock().now()); }

}  // namespace

const char* OutcomeName(DownloadOutcome outcome) {
    switch (outcome) {
    case DownloadOutcome::Unfinished: return "unfinished";
    case DownloadOutcome::Complete: return "complete";
    case DownloadOutcome::Stopped: return "stopped";
    case DownloadOutcome::Failed: return "failed";
    }
    return "";
}

BookStatus Recording::Begin(const DownloadStart& start) {
    Statement insert(book_.Handle(), kInsertDownload);
    insert.Bind(1, LocalTimeText(start.when)).Bind(2, start.port).Bind(3, start.firmware);
    insert.Bind(4, int64_t{start.reported}).Bind(5, start.file).Bind(6, start.format);
    if (const int code = insert.Step(); code != SQLITE_DONE) return book_.Failure(code);
    number_ = sqlite3_last_insert_rowid(book_.Handle());
    rows_ = 0;
    newRows_ = 0;
    begin_ = std::make_unique<Statement>(book_.Handle(), "BEGIN IMMEDIATE");
    commit_ = std::make_unique<Statement>(book_.Handle(), "COMMIT");
    insertRead_ = std::make_unique<Statement>(book_.Handle(), kInsertRead);
    insertRow_ = std::make_unique<Statement>(book_.Handle(), kInsertRow);
    return {};
}

BookStatus Recording::Add(int row, const TagRecord& record, const DecodedTag& tag) {
    if (pendingRows_ == 0) {
        const int code = begin_->Step();
        begin_->Reset();
        if (code != SQLITE_DONE) return book_.Failure(code);
    }
    const TagId& id = tag.id;
    insertRead_->Bind(1, record).Bind(2, TypeText(tag.type)).Bind(3, int64_t{id.country});
    insertRead_->Bind(4, static_cast<int64_t>(id.national)).Bind(5, NationalText(tag)).Bind(6, TimeText(tag.seconds));
    insertRead_->Bind(7, number_).Bind(8, int64_t{row});
    int code = insertRead_->Step();
    insertRead_->Reset();
    const bool isNew = code == SQLITE_DONE && sqlite3_changes(book_.Handle()) == 1;
    if (code == SQLITE_DONE) {
        insertRow_->Bind(1, number_).Bind(2, int64_t{row}).Bind(3, int64_t{id.country});
        insertRow_->Bind(4, static_cast<int64_t>(id.national)).Bind(5, record);
        code = insertRow_->Step();
        insertRow_->Reset();
    }
    if (code != SQLITE_DONE) return Failed(code);
    ++pendingRows_;
    if (isNew) ++pendingNewRows_;
    return {};
}

BookStatus Recording::Commit() {
    if (pendingRows_ == 0) return {};
    const int code = commit_->Step();
    commit_->Reset();
    if (code != SQLITE_DONE) return Failed(code);
    rows_ += pendingRows_;
    newRows_ += pendingNewRows_;
    pendingRows_ = pendingNewRows_ = 0;
    return {};
}

// What is not committed is not in the book.
BookStatus Recording::Failed(int code) {
    BookStatus status = book_.Failure(code);
    if (pendingRows_ > 0 || !sqlite3_get_autocommit(book_.Handle())) book_.Run("ROLLBACK");
    pendingRows_ = pendingNewRows_ = 0;
    return status;
}

// synchronous=FULL makes this one commit sync the write-ahead log, and with
// it every commit before it.
BookStatus Recording::SyncedUpdate(Statement& update) {
    if (BookStatus status = Commit(); !status.Ok()) return status;
    if (BookStatus status = book_.Run("PRAGMA synchronous = FULL"); !status.Ok()) return status;
    const int code = update.Step();
    BookStatus status = code == SQLITE_DONE ? BookStatus{} : book_.Failure(code);
    book_.Run("PRAGMA synchronous = NORMAL");
    return status;
}

BookStatus Recording::Sync() {
    Statement update(book_.Handle(), kSetEnded);
    update.Bind(1, Now()).Bind(2, number_);
    return SyncedUpdate(update);
}

BookStatus Recording::Finish(DownloadOutcome outcome, int32_t reported) {
    Statement update(book_.Handle(), kSetOutcome);
    update.Bind(1, OutcomeName(outcome)).Bind(2, int64_t{reported}).Bind(3, Now()).Bind(4, number_);
    return SyncedUpdate(update);
}
