// The record book's file: one SQLite database that keeps every download,
// every read and the user's animals (see docs/ for its tables).
//
// Opening a book never overwrites or recreates one. A missing file becomes
// a new book only when asked to (BookAccess::Create); an existing one must
// be a SQLite database marked as Kavrin's (an empty file counts as a new
// book), its schema no newer than this program's; an older schema is
// upgraded in place, in one transaction, before the book is used.
//
// The book runs in WAL mode with synchronous=NORMAL: every committed
// transaction is in the file as soon as it commits, so a process killed at
// any point leaves each transaction whole or absent; syncing to the disk is
// asked for where a front end is about to say "saved" (see recording.h).
// Several downloads write into one book at once, each waiting its turn for
// the lock; a program that holds the book without writing is waited for
// kBusyTimeoutMs, then reported as a lock (busy_wait.h).
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "book/book_status.h"
#include "book/busy_wait.h"

struct sqlite3;

enum class BookAccess {
    Existing,  // a missing book is BookError::Missing
    Create,    // a missing book is created, with its folder
};

class Book {
public:
    Book() = default;
    ~Book();
    Book(const Book&) = delete;
    Book& operator=(const Book&) = delete;

    BookStatus Open(const std::filesystem::path& path, BookAccess access);
    bool IsOpen() const { return db_ != nullptr; }

    sqlite3* Handle() const { return db_; }
    const std::filesystem::path& Path() const { return path_; }

    // Runs SQL that takes no parameters and returns no rows.
    BookStatus Run(const char* sql);
    // The status for a failed call that returned `code`, with SQLite's message.
    BookStatus Failure(int code) const;

private:
    BookStatus Prepare();
    void Close();

    sqlite3* db_ = nullptr;
    std::filesystem::path path_;
    std::unique_ptr<BusyWait> busyWait_;
};
