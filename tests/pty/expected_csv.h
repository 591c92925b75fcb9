// The CSV file an export of stored records must produce, built row by row.
#pragma once

#include <string>
#include <vector>

#include "ops/csv_writer.h"
#include "ops/tag_record.h"
#include "sim/virtual_reader.h"

// The header and the first `rows` of `records`.
inline std::string ExpectedCsv(const std::vector<TagBytes>& records, size_t rows) {
    std::string csv = std::string(kCsvHeader) + "\r\n";
    for (size_t i = 0; i < rows; ++i) csv += CsvRow(static_cast<int>(i + 1), DecodeTagRecord(records[i])) + "\r\n";
    return csv;
}
