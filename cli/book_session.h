// The record book as kavrin-cli keeps it: the file --book names, else the
// default path (book/book_path.h); none at all with --no-book.
//
// A subcommand that reads the book opens an existing one (a missing book
// is said, not created); export creates it when it is missing. Every
// failure is said on its own line, starting with the book's path.
#pragma once

#include "book/book.h"
#include "cli/cli_feedback.h"
#include "cli/commands.h"

BookChoice ChooseBook(const GlobalOptions& global);

// A subcommand's feedback and record book, beside its work: the chosen
// book is opened as `access` says when the session is made.
struct BookSession {
    BookSession(const GlobalOptions& global, BookAccess access);

    // False when the book could not be opened: the reason has been said.
    explicit operator bool() const { return failure == kExitOk; }

    CliFeedback ui;
    Book book;
    // The status to exit with when the book could not be opened (kExitUsage with --no-book).
    int failure = kExitOk;
};
