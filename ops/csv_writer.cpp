#include "ops/csv_writer.h"

#include "ops/format_text.h"
#include "ops/local_time.h"

namespace {

const char* const kTypeHdx = "HDX";
const char* const kTypeFdxb = "FDXB";
const char* const kCountryFormat = "%03u";
const char* const kHdxNationalFormat = "%010u";
// Two parts: MinGW's printf is not sure to know %llu, and 38 bits over 10^4 fit 32.
const char* const kTwelveDigitsFormat = "%08u%04u";
const char* const kTimeFormat = "%04d-%02d-%02d %02d:%02d:%02d";

}  // namespace

const char* TypeText(TagType type) { return type == TagType::Hdx ? kTypeHdx : kTypeFdxb; }

std::string CountryText(unsigned country) { return FormatText(kCountryFormat, country); }

std::string TwelveDigits(uint64_t national) {
    return FormatText(kTwelveDigitsFormat, static_cast<unsigned>(national / 10000),
                      static_cast<unsigned>(national % 10000));
}

std::string NationalText(const DecodedTag& tag) {
    if (tag.type == TagType::Hdx) return FormatText(kHdxNationalFormat, static_cast<unsigned>(tag.id.national));
    return TwelveDigits(tag.id.national);
}

std::string TimeText(uint32_t seconds) {
    LocalTime local;
    if (!ToLocalTime(seconds, local)) return {};
    return FormatText(kTimeFormat, local.year, local.month, local.day, local.hour, local.minute, local.second);
}

std::string CsvRow(int index, const DecodedTag& tag) {
    return std::to_string(index) + ',' + TypeText(tag.type) + ',' + CountryText(tag.id.country) + ',' +
           NationalText(tag) + ',' + TimeText(tag.seconds);
}

bool CsvWriter::Begin(ExportFile& file) {
    file_ = &file;
    const std::string header = Header();
    return header.empty() || Line(header);
}

bool CsvWriter::Add(int index, const TagRecord& record, const DecodedTag& tag) {
    return Line(Row(index, record, tag));
}

std::string CsvWriter::Row(int index, const TagRecord&, const DecodedTag& tag) const { return CsvRow(index, tag); }

// One write a line: a line is in the file whole or not at all, as far as we can make it.
bool CsvWriter::Line(std::string line) { return file_->Write(line += kCsvLineEnd); }
