// What Kavrin Records shows in its lists, as text: the downloads, the reads
// (of a download, a period, a tag) and the user's animals, a row each, and
// the rows in the order of any column. This is the one place that turns
// the book's answers into cells; the window only moves the text.
//
// A read's tag is shown in the ID form the user chose; in the split form
// the country has its own column already, so the tag column holds the
// national number alone. Text columns sort as a person expects numbers in
// them to (visual tag 9 before 10), the number columns by value.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "book/book.h"
#include "formats/formats.h"

struct ColumnHeading {
    const char* text;
    int width;  // in average characters of the window's font
};

std::span<const ColumnHeading> DownloadHeadings();
std::span<const ColumnHeading> ReadHeadings();
std::span<const ColumnHeading> AnimalHeadings();

// Columns by their index in the headings.
std::string DownloadCell(const DownloadSummary& download, int column);
std::string ReadCell(const BookRead& read, int column, IdForm form);
std::string AnimalCell(const Animal& animal, int column, IdForm form);

// The rows' indexes in the order of `column`; rows that compare equal keep their order.
std::vector<uint32_t> SortedReads(const std::vector<BookRead>& reads, int column, bool ascending);
std::vector<uint32_t> SortedAnimals(const std::vector<Animal>& animals, int column, bool ascending);
