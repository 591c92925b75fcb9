#include "book/book_status.h"

#include <sqlite3.h>

#include "link/utf8_path.h"

namespace {

const char* const kMissing = "no record book there";
const char* const kNotABook = "not a Kavrin record book";
const char* const kNewer = "written by a newer Kavrin; this one leaves it alone";
const char* const kLocked = "locked by another program";
const char* const kFull = "the disk is full";
const char* const kCannotOpen = "cannot be opened or written";
const char* const kDamaged = "the file is damaged";
const char* const kFailed = "failed";

const char* Describe(BookError error) {
    switch (error) {
    case BookError::None: break;
    case BookError::Missing: return kMissing;
    case BookError::NotABook: return kNotABook;
    case BookError::Newer: return kNewer;
    case BookError::Locked: return kLocked;
    case BookError::Full: return kFull;
    case BookError::CannotOpen: return kCannotOpen;
    case BookError::Damaged: return kDamaged;
    case BookError::Failed: return kFailed;
    }
    return "";
}

BookError ErrorOf(int code) {
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return BookError::Locked;
    case SQLITE_FULL: return BookError::Full;
    case SQLITE_NOTADB: return BookError::NotABook;
    case SQLITE_CORRUPT: return BookError::Damaged;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_IOERR:
    case SQLITE_AUTH: return BookError::CannotOpen;
    default: return BookError::Failed;
    }
}

}  // namespace

BookStatus BookFailure(BookError error, const std::filesystem::path& path, const std::string& detail) {
    std::string text = "record book " + Utf8FromPath(path) + ": " + Describe(error);
    if (!detail.empty()) text += " (" + detail + ")";
    return {error, text};
}

BookStatus BookFailureOf(int code, const std::filesystem::path& path, const std::string& detail) {
    return BookFailure(ErrorOf(code), path, detail);
}
