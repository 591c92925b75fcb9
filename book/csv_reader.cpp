#include "book/csv_reader.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr char kQuote = '"';
const char* const kOpenQuote = "a quote is opened here and never closed";
const char* const kNotUtf8 = "not UTF-8 text: save the file as \"CSV UTF-8\"";

char SeparatorOf(std::string_view text) {
    int commas = 0, semicolons = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == kQuote) quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        commas += c == ',';
        semicolons += c == ';';
    }
    return semicolons > commas ? ';' : ',';
}

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool IsUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        unsigned code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (length == 4 && (code < 0x10000 || code > 0x10FFFF))) {
            return false;
        }
        i += length;
    }
    return true;
}

class Splitter {
public:
    explicit Splitter(std::string_view text) : text_(text), separator_(SeparatorOf(text)) {}

    CsvTable Split() {
        while (at_ < text_.size()) Record();
        return std::move(table_);
    }

private:
    // One record from `at_`, up to and past its line end.
    void Record() {
        CsvRecord record{line_, {}};
        std::string cell;
        bool quoted = false, wasQuoted = false;
        const size_t raw = at_;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (quoted) {
                ++at_;
                if (c == kQuote && Peek() == kQuote) {
                    cell += kQuote;
                    ++at_;
                } else if (c == kQuote) {
                    quoted = false;
                } else {
                    CountLine(c);
                    cell += c;
                }
            } else if (c == kQuote && cell.empty() && !wasQuoted) {
                quoted = wasQuoted = true;
                ++at_;
            } else if (c == separator_) {
                record.cells.push_back(std::move(cell));
                cell.clear();
                wasQuoted = false;
                ++at_;
            } else if (c == '\n' || c == '\r') {
                EndLine(c);
                break;
            } else {
                cell += c;
                ++at_;
            }
        }
        if (quoted) {
            table_.problems.push_back({record.line, kOpenQuote});
            return;
        }
        record.cells.push_back(std::move(cell));
        if (!IsUtf8(text_.substr(raw, at_ - raw))) {
            table_.problems.push_back({record.line, kNotUtf8});
        } else if (record.cells.size() > 1 || !record.cells[0].empty()) {
            table_.records.push_back(std::move(record));
        }
    }

    char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

    // A line break inside a quoted cell: CR LF and a lone CR count once, like LF.
    void CountLine(char c) {
        if (c == '\n' || (c == '\r' && Peek() != '\n')) ++line_;
    }

    void EndLine(char c) {
        ++at_;
        if (c == '\r' && Peek() == '\n') ++at_;
        ++line_;
    }

    std::string_view text_;
    char separator_;
    size_t at_ = 0;
    int line_ = 1;
    CsvTable table_;
};

}  // namespace

CsvTable ReadCsv(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    return Splitter(text).Split();
}
