// Reads from the book written into new files in any export format, the
// registries' files included, as an export writes them: the file's name,
// its claim and its sync are the export's own (ops/export_file.h), so
// nothing is overwritten and a saved file is on the disk. A window's Save
// As writes the same into the file the user named.
//
// A registry's file (nait, nlis, nlis-pic) takes each tag once, at its
// first read in the list: the same animal read on two days is one animal
// moved or counted. NAIT's file takes its visual tag numbers from the
// user's animal list in the book, and splits after 2,500 rows as an
// export's does. With `animals`, the other formats get the list's columns.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "book/queries.h"
#include "formats/formats.h"

enum class RowNumbers {
    AsRead,    // each read's row in its download: one download shown again
    FromOne,   // 1, 2, 3...: reads gathered from several downloads
};

struct ReadsFileChoice {
    std::string format = std::string(kDefaultRecordFormat);  // any name MakeRecordWriter takes
    ExportProfile profile;  // checked as the export's options are, before any file exists
    bool animals = false;   // the animal list's columns, in a format that takes them
};

// The files written into `dir`, named from `time`: one, or a NAIT file's
// parts in order. Empty when they could not be created or written (nothing
// is left behind then); the status says why the book could not be read.
BookAnswer<std::vector<std::filesystem::path>> WriteReadsFiles(Book& book, const std::vector<BookRead>& reads,
                                                               RowNumbers numbers, const ReadsFileChoice& choice,
                                                               const std::filesystem::path& dir, const LocalTime& time);

// The same into `target`, the file a user named (replacing one of that
// name), and, when the format splits them (NAIT), the further files beside
// it: moves.csv, moves_2.csv, moves_3.csv... They are written in a private
// folder created beside `target` and renamed into place only once whole and
// on the disk, so a folder that cannot be written, a full disk or any
// other failure leaves nothing new behind, not even in part. The files
// written, `target` first; none when it failed.
BookAnswer<std::vector<std::filesystem::path>> SaveReadsAs(Book& book, const std::vector<BookRead>& reads,
                                                           RowNumbers numbers, const ReadsFileChoice& choice,
                                                           const std::filesystem::path& target);
