#include "formats/csv_cell.h"

namespace {

constexpr std::string_view kFormulaStarts = "=+-@\t\r";
constexpr char kTextMark = '\'';
constexpr char kQuote = '"';

}  // namespace

std::string CsvCell(std::string_view text, char separator) {
    const bool formula = !text.empty() && kFormulaStarts.find(text.front()) != std::string_view::npos;
    const bool quoted = formula || text.find_first_of(std::string{separator, kQuote, '\n', '\r'}) != std::string_view::npos;
    if (!quoted) return std::string(text);
    std::string cell(1, kQuote);
    if (formula) cell += kTextMark;
    for (char c : text) {
        if (c == kQuote) cell += kQuote;
        cell += c;
    }
    cell += kQuote;
    return cell;
}
