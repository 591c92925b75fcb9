#include "book/schema.h"

#include <array>
#include <sqlite3.h>

#include "book/statement.h"

namespace {

// Version 1: downloads and their reads. A read is its 16 bytes: the same
// bytes in a later download are the same read, kept once, and remember the
// download and row that first brought them. Reads are keyed by their tag,
// then their bytes (the tag comes from the bytes, so the key is the bytes
// alone), which keeps one tree to update for each read that comes in and
// finds a tag's reads in it.
const char* const kDownloadsAndReads = R"(
CREATE TABLE downloads (
    number INTEGER PRIMARY KEY,
    started TEXT NOT NULL,
    port TEXT NOT NULL,
    firmware TEXT NOT NULL,
    reported INTEGER NOT NULL,
    file TEXT NOT NULL,
    format TEXT NOT NULL,
    outcome TEXT NOT NULL DEFAULT 'unfinished',
    ended TEXT NOT NULL DEFAULT ''
);
CREATE TABLE reads (
    country INTEGER NOT NULL,
    national INTEGER NOT NULL,
    raw BLOB NOT NULL,
    type TEXT NOT NULL,
    tid TEXT NOT NULL,
    time TEXT NOT NULL,
    first_download INTEGER NOT NULL REFERENCES downloads(number),
    first_row INTEGER NOT NULL,
    PRIMARY KEY (country, national, raw)
) WITHOUT ROWID;
CREATE INDEX reads_by_first_download ON reads(first_download);
CREATE TABLE download_rows (
    download INTEGER NOT NULL REFERENCES downloads(number),
    row INTEGER NOT NULL,
    country INTEGER NOT NULL,
    national INTEGER NOT NULL,
    raw BLOB NOT NULL,
    PRIMARY KEY (download, row),
    FOREIGN KEY (country, national, raw) REFERENCES reads(country, national, raw)
) WITHOUT ROWID;
)";

// Version 2: the user's animals, one per tag.
const char* const kAnimals = R"(
CREATE TABLE animals (
    country INTEGER NOT NULL,
    national INTEGER NOT NULL,
    visual TEXT NOT NULL DEFAULT '',
    name TEXT NOT NULL DEFAULT '',
    group_name TEXT NOT NULL DEFAULT '',
    notes TEXT NOT NULL DEFAULT '',
    PRIMARY KEY (country, national)
) WITHOUT ROWID;
CREATE INDEX animals_by_group ON animals(group_name);
)";

const std::array<const char*, kSchemaVersion> kSteps = {kDownloadsAndReads, kAnimals};

struct Marks {
    int64_t applicationId = 0;
    int64_t version = 0;
    int64_t objects = 0;  // tables, indexes, views and triggers already in the file
};

int ReadMarks(Book& book, Marks& marks) {
    Statement statement(book.Handle(),
                        "SELECT (SELECT application_id FROM pragma_application_id),"
                        " (SELECT user_version FROM pragma_user_version),"
                        " (SELECT count(*) FROM sqlite_schema)");
    const int code = statement.Step();
    if (code != SQLITE_ROW) return code;
    marks = {statement.Int(0), statement.Int(1), statement.Int(2)};
    return SQLITE_OK;
}

// A new book has no marks and nothing in it; a book has its mark.
bool IsBook(const Marks& marks) {
    return marks.applicationId == kBookApplicationId || (marks.applicationId == 0 && marks.objects == 0);
}

BookStatus Refusal(const Book& book, const Marks& marks) {
    if (!IsBook(marks)) return BookFailure(BookError::NotABook, book.Path());
    if (marks.version > kSchemaVersion) {
        return BookFailure(BookError::Newer, book.Path(), "schema version " + std::to_string(marks.version));
    }
    return {};
}

BookStatus Upgrade(Book& book, const Marks& marks) {
    for (int64_t version = marks.version + 1; version <= kSchemaVersion; ++version) {
        BookStatus status = book.Run(kSteps[static_cast<size_t>(version - 1)]);
        if (!status.Ok()) return status;
    }
    const std::string stamp = "PRAGMA application_id = " + std::to_string(kBookApplicationId) +
                              "; PRAGMA user_version = " + std::to_string(kSchemaVersion);
    return book.Run(stamp.c_str());
}

}  // namespace

BookStatus UpgradeSchema(Book& book) {
    Marks marks;
    if (const int code = ReadMarks(book, marks); code != SQLITE_OK) return book.Failure(code);
    if (BookStatus refused = Refusal(book, marks); !refused.Ok()) return refused;
    if (marks.version == kSchemaVersion) return {};

    // Another program may be upgrading the same book: look again once the
    // write lock is ours.
    if (BookStatus status = book.Run("BEGIN IMMEDIATE"); !status.Ok()) return status;
    BookStatus status;
    if (const int code = ReadMarks(book, marks); code != SQLITE_OK) {
        status = book.Failure(code);
    } else if (status = Refusal(book, marks); status.Ok()) {
        status = Upgrade(book, marks);
    }
    if (status.Ok()) status = book.Run("COMMIT");
    if (!status.Ok()) book.Run("ROLLBACK");
    return status;
}
