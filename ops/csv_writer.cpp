#include "ops/csv_writer.h"

namespace {

const char* const kLineEnd = "\r\n";

}  // namespace

std::string CsvRow(int index, const DecodedTag& tag) {
    return std::to_string(index) + ',' + tag.type + ',' + tag.country + ',' + tag.identity + ',' + tag.time;
}

bool CsvWriter::Begin(ExportFile& file) {
    file_ = &file;
    return Line(std::string(kCsvHeader));
}

bool CsvWriter::Add(int index, const TagRecord&, const DecodedTag& tag) { return Line(CsvRow(index, tag)); }

// One write a line: a line is in the file whole or not at all, as far as we can make it.
bool CsvWriter::Line(std::string line) { return file_->Write(line += kLineEnd); }
