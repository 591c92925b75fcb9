#include "ops/csv_writer.h"

std::string CsvRow(int index, const DecodedTag& tag) {
    return std::to_string(index) + ',' + tag.type + ',' + tag.country + ',' + tag.identity + ',' + tag.time;
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
