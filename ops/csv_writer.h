// The CSV file of "Get Data": a header, then one row per record, every line
// ending in CR LF on every platform and written as soon as it is made.
//
// Other comma-separated files (other columns, no header) derive from it and
// say only what their header and rows hold.
#pragma once

#include <string>
#include <string_view>

#include "ops/record_writer.h"

inline constexpr std::string_view kCsvHeader = "INDEX,TYPE,COUNTRY ID,TID,TIME";
inline constexpr std::string_view kCsvLineEnd = "\r\n";

// One row: the row number, then the four texts of the record.
std::string CsvRow(int index, const DecodedTag& tag);

class CsvWriter : public RecordWriter {
public:
    std::string_view Extension() const override { return ".csv"; }
    bool Begin(ExportFile& file) override;
    bool Add(int index, const TagRecord& record, const DecodedTag& tag) override;
    bool Finish() override { return true; }

protected:
    // The first line; empty for a file without one.
    virtual std::string Header() const { return std::string(kCsvHeader); }
    virtual std::string Row(int index, const TagRecord& record, const DecodedTag& tag) const;
    bool Line(std::string line);

private:
    ExportFile* file_ = nullptr;
};
