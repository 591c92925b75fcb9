// The CSV file an export writes.
//
// Its name is the local date and time to the minute (20210919_0544.csv). An
// earlier export is never overwritten: when the name is taken, the next free
// one among 20210919_0544_2.csv, _3 and so on is used. Lines end in CR LF on
// every platform and each line is flushed as it is written, so the rows
// written so far are on disk whatever happens to the export afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "ops/clock.h"
#include "ops/tag_record.h"

inline constexpr std::string_view kCsvHeader = "INDEX,TYPE,COUNTRY ID,TID,TIME";

// The first name for an export started at `time` that nothing in `dir` holds.
std::filesystem::path FreeExportPath(const std::filesystem::path& dir, const LocalTime& time);

// One row: the row number, then the four texts of the record.
std::string CsvRow(int index, const DecodedTag& tag);

// Writes `line` and CR LF, then flushes. False when the bytes did not reach the file.
bool WriteCsvLine(std::ofstream& out, std::string_view line);
