// A CSV file as spreadsheets save it, split into records of cells.
//
// UTF-8 with or without a byte-order mark; cells separated by commas or,
// as Excel writes in many European locales, semicolons: whichever the
// first line holds more of outside quotes. A cell in double quotes may hold
// the separator, line breaks and doubled quotes. Lines end in CR LF, LF or
// a lone CR. Each record keeps the line it starts on; empty lines are
// skipped. A record that is not UTF-8 is reported with its line, and the
// reading goes on; a quote never closed is reported at the line of its
// record, which takes the rest of the file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CsvRecord {
    int line = 0;
    std::vector<std::string> cells;
};

struct CsvProblem {
    int line = 0;
    std::string text;
};

struct CsvTable {
    std::vector<CsvRecord> records;
    std::vector<CsvProblem> problems;
};

CsvTable ReadCsv(std::string_view text);
