// One cell of a CSV file that carries the user's own text (a name, a note).
//
// A spreadsheet evaluates a cell that begins with =, +, - or @ (and, in
// some, a tab or carriage return) as a formula; such text is written with
// a leading apostrophe, which spreadsheets take as "this is text", and
// quoted. A cell holding the separator, a quote or a line break is quoted,
// its quotes doubled. Any other text is written as it stands.
#pragma once

#include <string>
#include <string_view>

std::string CsvCell(std::string_view text, char separator = ',');
