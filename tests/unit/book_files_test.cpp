// What the windows ask of the book beside its queries: an animal list
// imported whole or not at all, reads saved into a file the user named
// (whole, or nothing left behind), and the sign that another program wrote.
#include <gtest/gtest.h>

#include <fstream>

#include "book/animal_list.h"
#include "book/queries.h"
#include "book/reads_file.h"
#include "book_records.h"
#include "formats/record_formats.h"
#include "temp_dir.h"

namespace {

class BookFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(book_.Open(dir_.path() / "records.db", BookAccess::Create).Ok()); }

    std::filesystem::path Write(const std::string& name, const std::string& text) {
        const std::filesystem::path path = dir_.path() / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // `count` reads of one download, rows from 1.
    static std::vector<BookRead> Reads(int count) {
        std::vector<BookRead> reads;
        for (int i = 1; i <= count; ++i) {
            reads.push_back(ReadAt(i, FdxbRecord(982, 1000 + i)));
        }
        return reads;
    }

    std::vector<std::string> FilesIn(const std::filesystem::path& folder) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir_;
    Book book_;
};

TEST_F(BookFilesTest, AnAnimalListWithABadLineImportsNothingAndOnceMendedImportsAll) {
    const auto bad = Write("bad.csv", "tag,name\n982 000000000001,Daisy\n9.82E+14,Bell\n982000000000001,Dot\n");
    AnimalImport result = ImportAnimalList(book_, bad);
    ASSERT_EQ(result.problems.size(), 2u);
    EXPECT_EQ(result.problems[0].line, 3);
    EXPECT_EQ(result.problems[1].line, 4);
    EXPECT_EQ(result.imported, 0u);
    EXPECT_TRUE(ListAnimals(book_, "").value.empty()) << "not even the good line";

    const auto good = Write("good.csv", "tag,name\n982 000000000001,Daisy\n982 000000000002,Bell\n");
    result = ImportAnimalList(book_, good);
    EXPECT_TRUE(result.problems.empty());
    EXPECT_TRUE(result.status.Ok()) << result.status.text;
    EXPECT_EQ(result.imported, 2u);
    EXPECT_EQ(ListAnimals(book_, "").value.size(), 2u);
}

TEST_F(BookFilesTest, ReadsSavedAsTheNamedFileReplacingAnOlderOneAndLeavingNothingElse) {
    const std::filesystem::path folder = dir_.path() / "out";
    std::filesystem::create_directory(folder);
    const std::filesystem::path target = folder / "moves.csv";
    std::ofstream(target) << "an older file\n";
    const auto files = SaveReadsAs(book_, Reads(3), RowNumbers::AsRead, {}, target).value;
    EXPECT_EQ(files, std::vector<std::filesystem::path>{target});
    const std::string text = ReadBytes(target);
    EXPECT_EQ(text.substr(0, text.find('\r')), "INDEX,TYPE,COUNTRY ID,TID,TIME");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"moves.csv"});
}

TEST_F(BookFilesTest, ASplitNaitFileGoesBesideTheNamedOneNumbered) {
    ReadsFileChoice nait;
    nait.format = "nait";
    nait.profile.nait = {"1", "2", CalendarDate{2021, 9, 19}, {}};
    const auto files = SaveReadsAs(book_, Reads(kNaitRowsPerFile + 1), RowNumbers::AsRead, nait, dir_.path() / "moves.csv").value;
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[1], dir_.path() / "moves_2.csv");
    const std::string second = ReadBytes(files[1]);
    EXPECT_EQ(std::count(second.begin(), second.end(), '\n'), 2) << "its header and the last read";
}

TEST_F(BookFilesTest, ASaveThatCannotBeFinishedLeavesNothingBehind) {
    EXPECT_TRUE(SaveReadsAs(book_, Reads(3), RowNumbers::AsRead, {}, dir_.path() / "no folder" / "moves.csv").value.empty());
    // A folder where the file is to go: the file is written, then cannot take its name.
    const std::filesystem::path taken = dir_.path() / "taken.csv";
    std::filesystem::create_directory(taken);
    const std::vector<std::string> before = FilesIn(dir_.path());
    EXPECT_TRUE(SaveReadsAs(book_, Reads(3), RowNumbers::AsRead, {}, taken).value.empty());
    EXPECT_EQ(FilesIn(dir_.path()), before);
    EXPECT_TRUE(std::filesystem::is_empty(taken));
}

TEST_F(BookFilesTest, TheChangeCountMovesWhenAnotherProgramWrites) {
    const BookAnswer<int64_t> before = ChangeCount(book_);
    ASSERT_TRUE(before.status.Ok()) << before.status.text;
    EXPECT_EQ(ChangeCount(book_).value, before.value) << "nothing written meanwhile";
    ASSERT_TRUE(RunSql(book_.Path(), "INSERT INTO animals (country, national) VALUES (982, 7)"));
    EXPECT_NE(ChangeCount(book_).value, before.value);
}

}  // namespace
