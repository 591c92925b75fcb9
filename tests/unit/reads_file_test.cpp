// Registry files from the book's reads, read back: NAIT's movement file
// with the animal list's visual tags, each tag once, split after 2,500
// rows; NLIS's PIC reconciliation, each tag once beside the PIC.
#include <gtest/gtest.h>

#include <map>

#include "book/book.h"
#include "book_records.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace {

using Cells = std::vector<std::string>;

std::vector<Cells> CellsOfFile(const std::filesystem::path& path) {
    std::vector<Cells> rows;
    for (CsvRecord& record : ReadCsv(ReadBytes(path)).records) rows.push_back(std::move(record.cells));
    return rows;
}

class ReadsFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(book_.Open(dir_.path() / "records.db", BookAccess::Create).Ok()); }

    std::vector<BookRead> ReadsSince(const char* day) {
        auto reads = ReadsOfScope(book_, {0, day, ""}, ReadFilter::All);
        EXPECT_TRUE(reads.status.Ok()) << reads.status.text;
        return reads.value;
    }

    TempDir dir_;
    Book book_;
};

TEST_F(ReadsFileTest, NaitTakesEachTagOnceWithItsVisualTagAndSplitsAfter2500Rows) {
    // Monday reads 2,501 tags; Tuesday reads the first again, a second later, and one more.
    std::vector<TagRecord> monday;
    for (uint64_t national = 1; national <= kNaitRowsPerFile + 1; ++national) monday.push_back(FdxbRecord(982, national));
    Recording first(book_), second(book_);
    RecordDownload(monday, 20, first);
    RecordDownload({FdxbRecord(982, 1, 1600000001), FdxbRecord(554, 7)}, 21, second);
    ASSERT_TRUE(SaveAnimals(book_, {{{982, 2}, "17", "Daisy", "", ""}, {{554, 7}, "A,1", "", "", ""}},
                            {true, true, false, false})
                    .Ok());
    const std::vector<BookRead> reads = ReadsSince("2021-09-20");
    ASSERT_EQ(reads.size(), size_t(kNaitRowsPerFile + 3)) << "tag 1 read again is a read of its own";

    ReadsFileChoice choice{"nait", {}, false};
    choice.profile.nait = {"12345", "67890", CalendarDate{2021, 9, 21}, std::nullopt};
    const auto files = WriteReadsFiles(book_, reads, RowNumbers::FromOne, choice, dir_.path(), kMorning);
    ASSERT_TRUE(files.status.Ok()) << files.status.text;
    ASSERT_EQ(files.value, (std::vector<std::filesystem::path>{dir_.path() / "20210919_0544_1.csv",
                                                               dir_.path() / "20210919_0544_2.csv"}));

    std::vector<Cells> rows;
    for (const auto& file : files.value) {
        std::vector<Cells> inFile = CellsOfFile(file);
        ASSERT_EQ(inFile.at(0).at(3), "NAIT Visual Tag Number") << file;
        rows.insert(rows.end(), inFile.begin() + 1, inFile.end());
    }
    ASSERT_EQ(rows.size(), size_t(kNaitRowsPerFile + 2)) << "each tag once";
    std::map<std::string, std::string> visualOf;
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 7u) << i;
        EXPECT_EQ(rows[i][4], std::to_string(i + 1)) << "External Record ID: the row in the files";
        EXPECT_EQ(rows[i][5], "21/09/2021");
        EXPECT_TRUE(visualOf.emplace(rows[i][2], rows[i][3]).second) << rows[i][2] << " twice";
    }
    EXPECT_EQ(visualOf["982 000000000001"], "");
    EXPECT_EQ(visualOf["982 000000000002"], "17");
    EXPECT_EQ(visualOf["554 000000000007"], "A,1");
}

TEST_F(ReadsFileTest, NlisPicTakesEachTagOnceBesideThePicAndABadPicWritesNothing) {
    Recording download(book_);
    RecordDownload({FdxbRecord(36, 9), FdxbRecord(36, 9, 1600000001), FdxbRecord(982, 5), FdxbRecord(36, 9, 1600000002)},
                   20, download);
    ReadsFileChoice choice{"nlis-pic", {}, false};
    choice.profile.pic = "3ABCD123";
    const auto files = WriteReadsFiles(book_, DownloadRows(book_, download.Number()).value, RowNumbers::AsRead, choice,
                                       dir_.path(), kMorning);
    ASSERT_EQ(files.value.size(), 1u);
    EXPECT_EQ(CellsOfFile(files.value[0]), (std::vector<Cells>{{"3ABCD123", "036 000000000009"},
                                                               {"3ABCD123", "982 000000000005"}}));

    choice.profile.pic = "3ABCD12";
    const auto refused = WriteReadsFiles(book_, ReadsSince("2021-09-20"), RowNumbers::FromOne, choice, dir_.path(),
                                         kMorning);
    EXPECT_TRUE(refused.status.Ok());
    EXPECT_TRUE(refused.value.empty());
    size_t csvFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) csvFiles += entry.path().extension() == ".csv";
    EXPECT_EQ(csvFiles, 1u) << "nothing left behind";
}

}  // namespace
