// What Kavrin Records' lists show: a read's cells in the chosen ID form,
// and the rows in the order of a column, numbers by value and names as a
// person reads them.
#include <gtest/gtest.h>

#include "book_records.h"
#include "book/table_cells.h"

namespace {

BookRead Read(int row, unsigned country, uint64_t national, std::string visual = {}) {
    BookRead read = ReadAt(row, FdxbRecord(country, national, 1600000000 + row));
    read.animal.visual = std::move(visual);
    read.known = !read.animal.visual.empty();
    return read;
}

constexpr int kRowColumn = 0, kCountryColumn = 2, kTagColumn = 3, kVisualColumn = 5, kNewColumn = 8;

TEST(TableCells, TheTagInTheChosenFormTheCountryInItsOwnColumn) {
    BookRead read = Read(7, 982, 123456789);
    read.isNew = true;
    EXPECT_EQ(ReadCell(read, kRowColumn, IdForm::Spaced), "7");
    EXPECT_EQ(ReadCell(read, kCountryColumn, IdForm::Spaced), "982");
    EXPECT_EQ(ReadCell(read, kTagColumn, IdForm::Spaced), "982 000123456789");
    EXPECT_EQ(ReadCell(read, kTagColumn, IdForm::Eid16), "0982000123456789");
    EXPECT_EQ(ReadCell(read, kTagColumn, IdForm::Split), "000123456789") << "the country has its column";
    EXPECT_EQ(ReadCell(read, kNewColumn, IdForm::Spaced), "new");
    EXPECT_EQ(ReadHeadings().size(), 9u);
}

TEST(TableCells, RowsSortByValueOrAsAPersonReadsNamesAndKeepTheirOrderWhenEqual) {
    const std::vector<BookRead> reads = {Read(1, 982, 30, "10"), Read(2, 276, 50, "9"), Read(3, 982, 20, "10"),
                                         Read(4, 982, 40, "")};
    EXPECT_EQ(SortedReads(reads, kTagColumn, true), (std::vector<uint32_t>{1, 2, 0, 3}));
    EXPECT_EQ(SortedReads(reads, kTagColumn, false), (std::vector<uint32_t>{3, 0, 2, 1}));
    EXPECT_EQ(SortedReads(reads, kVisualColumn, true), (std::vector<uint32_t>{3, 1, 0, 2})) << "9 before 10";
    EXPECT_EQ(SortedReads(reads, kVisualColumn, false), (std::vector<uint32_t>{0, 2, 1, 3})) << "equal rows stay in order";
}

}  // namespace
