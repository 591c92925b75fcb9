#include "book/animal_list.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

#include "ops/format_text.h"

namespace {

enum Column { kTag, kVisual, kName, kGroup, kNotes, kColumns };

// The headings each column answers to, in lower case.
const std::array<std::vector<std::string_view>, kColumns> kHeadings = {{
    {"tag", "tag id", "eid"},
    {"visual tag", "visual tag number", "visual", "visual id"},
    {"name"},
    {"group"},
    {"notes", "note"},
}};

const char* const kNoHeadings = "no heading row: the file is empty";
const char* const kNoTagColumn = "no column headed \"tag\" in the heading row";
const char* const kTwiceHeadedFormat = "two columns headed \"%s\"";
const char* const kNoTag = "no tag";
const char* const kBadTagFormat = "tag \"%s\": %s";
const char* const kRepeatedTagFormat = "tag \"%s\" is on line %d already";
const char* const kTooManyCellsFormat = "%zu cells where the heading row has %zu";
const char* const kCannotRead = "cannot be read";

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<Column> ColumnOf(std::string_view heading) {
    const std::string lower = Lower(Trimmed(heading));
    for (int column = 0; column < kColumns; ++column) {
        const auto& names = kHeadings[static_cast<size_t>(column)];
        if (std::find(names.begin(), names.end(), lower) != names.end()) return static_cast<Column>(column);
    }
    return std::nullopt;
}

// Where each column is in the heading row; false with problems when the row will not do.
bool PlaceColumns(const CsvRecord& headings, std::array<std::optional<size_t>, kColumns>& at, AnimalList& list) {
    const size_t before = list.problems.size();
    for (size_t i = 0; i < headings.cells.size(); ++i) {
        const std::optional<Column> column = ColumnOf(headings.cells[i]);
        if (!column) continue;
        if (at[*column]) {
            list.problems.push_back({headings.line, FormatText(kTwiceHeadedFormat, std::string(Trimmed(headings.cells[i])).c_str())});
        }
        at[*column] = i;
    }
    if (!at[kTag]) list.problems.push_back({headings.line, kNoTagColumn});
    return list.problems.size() == before;
}

std::string CellAt(const CsvRecord& record, const std::optional<size_t>& at) {
    return at && *at < record.cells.size() ? std::string(Trimmed(record.cells[*at])) : std::string();
}

}  // namespace

AnimalList ReadAnimalList(std::string_view text) {
    CsvTable table = ReadCsv(text);
    AnimalList list;
    list.problems = std::move(table.problems);
    if (table.records.empty()) {
        if (list.problems.empty()) list.problems.push_back({1, kNoHeadings});
        return list;
    }
    std::array<std::optional<size_t>, kColumns> at;
    if (!PlaceColumns(table.records.front(), at, list)) return list;
    list.columns = {at[kVisual].has_value(), at[kName].has_value(), at[kGroup].has_value(), at[kNotes].has_value()};

    const size_t headings = table.records.front().cells.size();
    std::map<TagId, int> lineOfTag;
    for (auto record = table.records.begin() + 1; record != table.records.end(); ++record) {
        const std::string tagText = CellAt(*record, at[kTag]);
        const auto extra = std::find_if(record->cells.begin() + static_cast<long>(std::min(headings, record->cells.size())),
                                        record->cells.end(), [](const std::string& cell) { return !Trimmed(cell).empty(); });
        if (extra != record->cells.end()) {
            list.problems.push_back({record->line, FormatText(kTooManyCellsFormat, record->cells.size(), headings)});
            continue;
        }
        if (tagText.empty()) {
            list.problems.push_back({record->line, kNoTag});
            continue;
        }
        const TagIdParse parsed = ParseTagId(tagText);
        if (!parsed.id) {
            list.problems.push_back({record->line, FormatText(kBadTagFormat, tagText.c_str(), parsed.refusal.c_str())});
            continue;
        }
        const auto [earlier, added] = lineOfTag.emplace(*parsed.id, record->line);
        if (!added) {
            list.problems.push_back({record->line, FormatText(kRepeatedTagFormat, tagText.c_str(), earlier->second)});
            continue;
        }
        list.animals.push_back({*parsed.id, CellAt(*record, at[kVisual]), CellAt(*record, at[kName]),
                                CellAt(*record, at[kGroup]), CellAt(*record, at[kNotes])});
    }
    std::stable_sort(list.problems.begin(), list.problems.end(),
                     [](const CsvProblem& a, const CsvProblem& b) { return a.line < b.line; });
    return list;
}

AnimalList ReadAnimalListFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.good() && !in.eof()) {
        AnimalList list;
        list.problems.push_back({0, kCannotRead});
        return list;
    }
    return ReadAnimalList(text);
}

AnimalImport ImportAnimalList(Book& book, const std::filesystem::path& path) {
    AnimalList list = ReadAnimalListFile(path);
    AnimalImport result;
    result.problems = std::move(list.problems);
    if (!result.problems.empty()) return result;
    result.status = SaveAnimals(book, list.animals, list.columns);
    if (result.status.Ok()) result.imported = list.animals.size();
    return result;
}
