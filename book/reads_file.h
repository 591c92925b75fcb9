// Reads from the book written into a new export file, in any export
// format: the file's name, its claim and its sync are the export's own
// (ops/export_file.h), so nothing is overwritten and a saved file is on the
// disk. A window's Save As writes the same into the file the user named.
#pragma once

#include <filesystem>
#include <vector>

#include "book/queries.h"
#include "ops/record_writer.h"

enum class RowNumbers {
    AsRead,    // each read's row in its download: one download shown again
    FromOne,   // 1, 2, 3...: reads gathered from several downloads
};

// The file written into `dir`, named from `time`; empty when it could not
// be created or written (nothing is left behind then).
std::filesystem::path WriteReadsFile(const std::vector<BookRead>& reads, RowNumbers numbers,
                                     const std::filesystem::path& dir, const LocalTime& time, RecordWriter& writer);

// The reads into `target`, the file a user named (replacing one of that
// name), and, when the format splits them (NAIT), the further files beside
// it: moves.csv, moves_2.csv, moves_3.csv... They are written in a private
// folder created beside `target` and renamed into place only once whole and
// on the disk, so a folder that cannot be written, a full disk or any
// other failure leaves nothing new behind, not even in part. The files
// written, `target` first; none when it failed.
std::vector<std::filesystem::path> SaveReadsAs(const std::vector<BookRead>& reads, RowNumbers numbers,
                                               const std::filesystem::path& target, RecordWriter& writer);
