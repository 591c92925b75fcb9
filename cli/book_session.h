// The record book as kavrin-cli keeps it: the file --book names, else the
// default path (book/book_path.h); none at all with --no-book.
//
// A subcommand that reads the book opens an existing one (a missing book
// is said, not created); export creates it when it is missing. Every
// failure is said on its own line, starting with the book's path.
#pragma once

#include <filesystem>

#include "book/book.h"
#include "cli/cli_feedback.h"
#include "cli/commands.h"

inline constexpr const char* kNoBookKept = "--no-book: there is no record book to read";

BookChoice ChooseBook(const GlobalOptions& global);

// The exit status of `work(ui, book)` on the chosen book, opened as
// `access` says, or that of the failure to open it (kExitUsage with --no-book).
template <typename Work>
int RunOnBook(const GlobalOptions& global, BookAccess access, Work&& work) {
    CliFeedback ui;
    Book book;
    const BookChoice choice = ChooseBook(global);
    if (!choice.kept) {
        ui.Say(kNoBookKept);
        return kExitUsage;
    }
    if (const BookStatus status = OpenChosenBook(choice, access, book); !status.Ok()) {
        ui.Say(status.text);
        return kExitFailed;
    }
    return work(ui, book);
}
