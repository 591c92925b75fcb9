// The CSV file of "Get Data": a header, then one row per record, every line
// ending in CR LF on every platform and written as soon as it is made.
//
// Its columns are the decoded tag in the window's texts, which the
// functions below give to every writer that shows the same: the type
// ("HDX", "FDXB"), the country code in three digits (a code above 999 in
// four), the national number in ten digits (HDX) or twelve (FDX-B), and the
// time of reading as "2020-09-13 12:26:40" in the PC's local time, empty
// when the C library cannot convert it.
//
// Other comma-separated files (other columns, no header) derive from it and
// say only what their header and rows hold.
#pragma once

#include <string>
#include <string_view>

#include "ops/record_writer.h"

inline constexpr std::string_view kCsvHeader = "INDEX,TYPE,COUNTRY ID,TID,TIME";
inline constexpr std::string_view kCsvLineEnd = "\r\n";

const char* TypeText(TagType type);
std::string CountryText(unsigned country);
std::string NationalText(const DecodedTag& tag);
// Any national number in twelve digits: FDX-B's TID, and the ID's forms.
std::string TwelveDigits(uint64_t national);
std::string TimeText(uint32_t seconds);

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
