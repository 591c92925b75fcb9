// The export's file: its name claimed once and only once, bytes on the
// disk as they are written, and a digest that matches the file read back.
#include <gtest/gtest.h>

#include "ops/csv_writer.h"
#include "ops/export_file.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace {

void Touch(const std::filesystem::path& path) { std::ofstream(path, std::ios::binary) << "earlier"; }

std::filesystem::path Claimed(const std::filesystem::path& dir, const LocalTime& time = kMorning) {
    ExportFile file;
    return file.Claim(dir, time, ".csv") ? file.Path() : std::filesystem::path();
}

TEST(ExportFile, NameIsTheLocalMinuteZeroPadded) {
    TempDir dir;
    EXPECT_EQ(Claimed(dir.path()), dir.path() / "20210919_0544.csv");
    EXPECT_EQ(Claimed(dir.path(), LocalTime{2022, 1, 2, 3, 4, 5}), dir.path() / "20220102_0304.csv");
}

TEST(ExportFile, TakenNamesGetTheNextFreeSuffixAndAreLeftAlone) {
    TempDir dir;
    Touch(dir.path() / "20210919_0544.csv");
    std::filesystem::create_directory(dir.path() / "20210919_0544_2.csv");
    EXPECT_EQ(Claimed(dir.path()), dir.path() / "20210919_0544_3.csv") << "a folder is taken too";
    EXPECT_EQ(Claimed(dir.path()), dir.path() / "20210919_0544_4.csv") << "a claimed name is taken at once";
    EXPECT_EQ(ReadBytes(dir.path() / "20210919_0544.csv"), "earlier");
}

TEST(ExportFile, AMissingFolderClaimsNothing) {
    TempDir dir;
    ExportFile file;
    EXPECT_FALSE(file.Claim(dir.path() / "gone", kMorning, ".csv"));
    EXPECT_FALSE(file.Write("x"));
}

TEST(ExportFile, BytesAreOnDiskAsWrittenAndTheDigestMatchesTheFileReadBack) {
    TempDir dir;
    ExportFile file;
    ASSERT_TRUE(file.Claim(dir.path(), kMorning, ".csv"));
    CsvWriter writer;
    ASSERT_TRUE(writer.Begin(file));
    EXPECT_EQ(ReadBytes(file.Path()), "INDEX,TYPE,COUNTRY ID,TID,TIME\r\n");
    ASSERT_TRUE(writer.Add(1, {}, {TagType::Fdxb, {982, 123456789012}, 1600000000}));
    ASSERT_TRUE(writer.Add(12, {}, {TagType::Hdx, {1023, 2147483648}, 0}));
    EXPECT_EQ(ReadBytes(file.Path()),
              "INDEX,TYPE,COUNTRY ID,TID,TIME\r\n"
              "1,FDXB,982,123456789012," + TimeText(1600000000) + "\r\n"
              "12,HDX,1023,2147483648," + TimeText(0) + "\r\n");
    EXPECT_TRUE(file.Sync());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(DigestOfFile(file.Path()), file.Written());
    EXPECT_EQ(file.Written().size, ReadBytes(file.Path()).size());

    Touch(file.Path());
    EXPECT_NE(DigestOfFile(file.Path()), file.Written()) << "a changed file no longer matches";
    EXPECT_EQ(DigestOfFile(dir.path() / "none.csv"), std::nullopt);
}

TEST(ExportFile, AnyUnicodeFolderTakesTheFile) {
    TempDir dir;
    const std::filesystem::path folder = dir.path() / std::filesystem::path(u8"Z\u00fcrich \u0434\u0430\u043d\u043d\u044b\u0435 \u6771\u4eac");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    {
        ExportFile file;
        ASSERT_TRUE(file.Claim(folder, kMorning, ".csv"));
        ASSERT_TRUE(file.Write("INDEX\r\n"));
    }
    std::filesystem::directory_iterator entries(folder);
    ASSERT_NE(entries, std::filesystem::directory_iterator());
    EXPECT_EQ(entries->path().filename(), "20210919_0544.csv");
    EXPECT_EQ(ReadBytes(entries->path()), "INDEX\r\n");
    EXPECT_EQ(Claimed(folder).filename(), "20210919_0544_2.csv");
}

}  // namespace
