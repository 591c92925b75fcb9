// A download kept in the record book beside its file, as both front ends
// keep it: the book chosen (or none), opened or created, the export's
// writer wrapped so the book gets each block's rows, and at the end the
// download's outcome and the one line that says what became of the book.
//
// A book that cannot be opened or written never costs the file: the export
// writes through the file's own writer alone, and Line() says why.
#pragma once

#include <filesystem>
#include <string>

#include "book/book_record_writer.h"
#include "ops/export.h"

struct BookChoice {
    bool kept = false;  // false with --no-book
    std::filesystem::path path;  // empty when no folder for the default book was found
};

// Opens the chosen book, which must be kept; the status says why it did not open.
BookStatus OpenChosenBook(const BookChoice& choice, BookAccess access, Book& book);

class DownloadKeeping {
public:
    // `start` without its file, which the export claims later.
    DownloadKeeping(const BookChoice& choice, RecordWriter& file, DownloadStart start);

    // The writer the export writes through: into the book too, when it opened.
    RecordWriter& Writer(RecordWriter& file) { return Open() ? writer_ : file; }

    // The download's outcome into the book. False when the book failed.
    bool Finish(const ExportResult& result);
    // After Finish: what happened to the book, or how many records are new;
    // empty without a book or without a download.
    std::string Line() const;
    // Whether the book, if kept, holds every row of the file (an empty reader gave none).
    bool HoldsAll(const ExportResult& result) const;
    // The download's number in the book; 0 when it did not go in.
    int64_t Number() const { return status_.Ok() && writer_.Begun() ? recording_.Number() : 0; }
    Book& TheBook() { return book_; }

private:
    bool Open() const { return choice_.kept && status_.Ok(); }

    BookChoice choice_;
    Book book_;
    BookStatus status_;
    Recording recording_;
    BookRecordWriter writer_;
};
