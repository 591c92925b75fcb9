#include "book/book_file.h"

#include <sqlite3.h>
#include <system_error>

#include "book/schema.h"
#include "link/utf8_path.h"

Book::~Book() { Close(); }

void Book::Close() {
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

BookStatus Book::Open(const std::filesystem::path& path, BookAccess access) {
    Close();
    path_ = path;
    std::error_code error;
    const bool exists = std::filesystem::exists(path, error);
    if (!exists && access == BookAccess::Existing) return BookFailure(BookError::Missing, path);
    if (!exists && path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), error);
        if (error) return BookFailure(BookError::CannotOpen, path, error.message());
    }

    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX | SQLITE_OPEN_EXRESCODE;
    if (access == BookAccess::Create) flags |= SQLITE_OPEN_CREATE;
    const int code = sqlite3_open_v2(Utf8FromPath(path).c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        BookStatus status = Failure(code);
        Close();
        return status;
    }
    BookStatus status = Prepare();
    if (!status.Ok()) Close();
    return status;
}

// The schema is looked at before anything is written, so a file that is
// not a book is left exactly as it was.
BookStatus Book::Prepare() {
    busyWait_ = std::make_unique<BusyWait>(path_);
    sqlite3_busy_handler(db_, BusyWait::Handler, busyWait_.get());
    if (BookStatus status = UpgradeSchema(*this); !status.Ok()) return status;
    // A checkpoint syncs the disk twice; the default one every 1000 pages
    // would come every few dozen blocks of a download.
    return Run("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; PRAGMA wal_autocheckpoint = 10000");
}

BookStatus Book::Run(const char* sql) {
    const int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    return code == SQLITE_OK ? BookStatus{} : Failure(code);
}

BookStatus Book::Failure(int code) const {
    return BookFailureOf(code, path_, db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(code));
}
