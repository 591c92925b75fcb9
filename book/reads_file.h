// Reads from the book written into a new export file, in any export
// format: the file's name, its claim and its sync are the export's own
// (ops/export_file.h), so nothing is overwritten and a saved file is on the
// disk.
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
