// What went wrong with the record book, in a result a front end can act on
// and a text it can show as it stands.
//
// Nothing in book/ throws: every call that can fail returns a BookStatus,
// and a query returns its answer beside one (BookAnswer).
#pragma once

#include <filesystem>
#include <string>

enum class BookError {
    None,
    Missing,    // no book at the path, and none was to be created
    NotABook,   // not a SQLite database, or another program's database
    Newer,      // written by a newer Kavrin: its schema is not known here
    Locked,     // another program holds it longer than the busy time-out
    Full,       // the disk (or the book's own size limit) is full
    CannotOpen, // the file or its folder cannot be opened or written
    Damaged,    // SQLite found the file corrupt
    Failed,     // any other SQLite failure
};

struct BookStatus {
    BookError error = BookError::None;
    std::string text;  // "record book /home/a/records.db: locked by another program"; empty when Ok

    bool Ok() const { return error == BookError::None; }
};

template <typename T>
struct BookAnswer {
    BookStatus status;
    T value{};
};

// The status for `error` on the book at `path`, with SQLite's own words when there are any.
BookStatus BookFailure(BookError error, const std::filesystem::path& path, const std::string& detail = {});
// The status for a failed SQLite call that returned `code` (primary or extended).
BookStatus BookFailureOf(int code, const std::filesystem::path& path, const std::string& detail);
