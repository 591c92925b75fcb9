#include "book/table_cells.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <tuple>

#include "link/natural_order.h"
#include "ops/csv_writer.h"

namespace {

enum DownloadColumn { kNumber, kWhen, kPort, kRecords, kNewRecords, kOutcome, kFile };
enum AnimalColumn { kAnimalTag, kAnimalVisual, kAnimalName, kAnimalGroup, kAnimalNotes };

const std::array<ColumnHeading, 7> kDownloadHeadings = {{
    {"Download", 9}, {"When", 19}, {"Port", 8}, {"Records", 8}, {"New", 6}, {"Outcome", 11}, {"File", 40},
}};
const std::array<ColumnHeading, 9> kReadHeadings = {{
    {"Row", 6}, {"Type", 5}, {"Country", 7}, {"Tag", 17}, {"Time", 19},
    {"Visual tag", 10}, {"Name", 14}, {"Group", 10}, {"New", 5},
}};
const std::array<ColumnHeading, 5> kAnimalHeadings = {{
    {"Tag", 17}, {"Visual tag", 10}, {"Name", 14}, {"Group", 10}, {"Notes", 30},
}};

const char* const kIsNew = "new";

std::string TagText(const TagId& tag, IdForm form) {
    const std::vector<std::string> texts = FormatTagId(tag, form);
    return texts.back();
}

template <typename T>
int Compare(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareText(const std::string& a, const std::string& b) {
    return NaturalLess(a, b) ? -1 : (NaturalLess(b, a) ? 1 : 0);
}

int CompareTags(const TagId& a, const TagId& b) {
    return Compare(std::tie(a.country, a.national), std::tie(b.country, b.national));
}

int CompareReads(const BookRead& a, const BookRead& b, int column) {
    switch (column) {
    case kReadRow: return Compare(std::tie(a.download, a.row), std::tie(b.download, b.row));
    case kReadType: return CompareText(TypeText(a.tag.type), TypeText(b.tag.type));
    case kReadCountry: return Compare(a.tag.id.country, b.tag.id.country);
    case kReadTag: return CompareTags(a.tag.id, b.tag.id);
    case kReadTime: return Compare(a.tag.seconds, b.tag.seconds);
    case kReadVisual: return CompareText(a.animal.visual, b.animal.visual);
    case kReadName: return CompareText(a.animal.name, b.animal.name);
    case kReadGroup: return CompareText(a.animal.group, b.animal.group);
    case kReadNew: return Compare(a.isNew, b.isNew);
    default: return 0;
    }
}

int CompareAnimals(const Animal& a, const Animal& b, int column) {
    switch (column) {
    case kAnimalTag: return CompareTags(a.tag, b.tag);
    case kAnimalVisual: return CompareText(a.visual, b.visual);
    case kAnimalName: return CompareText(a.name, b.name);
    case kAnimalGroup: return CompareText(a.group, b.group);
    case kAnimalNotes: return CompareText(a.notes, b.notes);
    default: return 0;
    }
}

template <typename Row, typename Comparison>
std::vector<uint32_t> Sorted(const std::vector<Row>& rows, int column, bool ascending, Comparison compare) {
    std::vector<uint32_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        const int sign = compare(rows[a], rows[b], column);
        return ascending ? sign < 0 : sign > 0;
    });
    return order;
}

}  // namespace

std::span<const ColumnHeading> DownloadHeadings() { return kDownloadHeadings; }
std::span<const ColumnHeading> ReadHeadings() { return kReadHeadings; }
std::span<const ColumnHeading> AnimalHeadings() { return kAnimalHeadings; }

std::string DownloadCell(const DownloadSummary& d, int column) {
    switch (column) {
    case kNumber: return std::to_string(d.number);
    case kWhen: return d.started;
    case kPort: return d.port;
    case kRecords: return std::to_string(d.rows);
    case kNewRecords: return std::to_string(d.newRows);
    case kOutcome: return d.outcome;
    case kFile: return d.file;
    default: return {};
    }
}

std::string ReadCell(const BookRead& read, int column, IdForm form) {
    switch (column) {
    case kReadRow: return std::to_string(read.row);
    case kReadType: return TypeText(read.tag.type);
    case kReadCountry: return FormatTagId(read.tag.id, IdForm::Split).front();
    case kReadTag: return TagText(read.tag.id, form);
    case kReadTime: return TimeText(read.tag.seconds);
    case kReadVisual: return read.animal.visual;
    case kReadName: return read.animal.name;
    case kReadGroup: return read.animal.group;
    case kReadNew: return read.isNew ? kIsNew : "";
    default: return {};
    }
}

std::string AnimalCell(const Animal& animal, int column, IdForm form) {
    switch (column) {
    case kAnimalTag: return FormatTagId(animal.tag, form == IdForm::Split ? IdForm::Spaced : form).front();
    case kAnimalVisual: return animal.visual;
    case kAnimalName: return animal.name;
    case kAnimalGroup: return animal.group;
    case kAnimalNotes: return animal.notes;
    default: return {};
    }
}

std::vector<uint32_t> SortedReads(const std::vector<BookRead>& reads, int column, bool ascending) {
    return Sorted(reads, column, ascending, CompareReads);
}

std::vector<uint32_t> SortedAnimals(const std::vector<Animal>& animals, int column, bool ascending) {
    return Sorted(animals, column, ascending, CompareAnimals);
}

std::vector<uint32_t> ReadsWhoseTagHolds(const std::vector<BookRead>& reads, std::vector<uint32_t> order,
                                         std::string text) {
    std::erase(text, ' ');
    if (text.empty()) return order;
    std::erase_if(order, [&](uint32_t row) {
        return FormatTagId(reads[row].tag.id, IdForm::Eid15).front().find(text) == std::string::npos;
    });
    return order;
}
