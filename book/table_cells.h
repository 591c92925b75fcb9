// What the windows over the book (Kavrin Records, kavrin-gui) show in their
// lists, as text: the downloads, the reads (of a download, a period, a tag)
// and the user's animals, a row each, and the rows in the order of any
// column. This is the one place that turns the book's answers into cells;
// the windows only move the text.
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

#include "book/animals.h"
#include "book/queries.h"
#include "formats/formats.h"

struct ColumnHeading {
    const char* text;
    int width;  // in average characters of the window's font
};

// The reads' columns, in the order of ReadHeadings().
enum ReadColumn { kReadRow, kReadType, kReadCountry, kReadTag, kReadTime, kReadVisual, kReadName, kReadGroup, kReadNew };

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
// Of the rows in `order`, those whose tag holds `text`, spaces ignored,
// written with its country (982000123456789), in their order; all when
// `text` is empty.
std::vector<uint32_t> ReadsWhoseTagHolds(const std::vector<BookRead>& reads, std::vector<uint32_t> order,
                                         std::string text);
