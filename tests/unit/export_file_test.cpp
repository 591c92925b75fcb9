// The export's file: its free name, and lines that reach the disk as written.
#include <gtest/gtest.h>

#include "ops/export_file.h"
#include "temp_dir.h"

namespace {

const LocalTime kMorning{2021, 9, 19, 5, 44, 59};

void Touch(const std::filesystem::path& path) { std::ofstream(path, std::ios::binary) << "earlier"; }

TEST(ExportFile, NameIsTheLocalMinuteZeroPadded) {
    TempDir dir;
    EXPECT_EQ(FreeExportPath(dir.path(), kMorning), dir.path() / "20210919_0544.csv");
    EXPECT_EQ(FreeExportPath(dir.path(), LocalTime{2022, 1, 2, 3, 4, 5}), dir.path() / "20220102_0304.csv");
    EXPECT_EQ(FreeExportPath({}, kMorning), std::filesystem::path("20210919_0544.csv")) << "no directory part";
}

TEST(ExportFile, TakenNamesGetTheNextFreeSuffix) {
    TempDir dir;
    Touch(dir.path() / "20210919_0544.csv");
    EXPECT_EQ(FreeExportPath(dir.path(), kMorning), dir.path() / "20210919_0544_2.csv");
    Touch(dir.path() / "20210919_0544_2.csv");
    std::filesystem::create_directory(dir.path() / "20210919_0544_3.csv");
    EXPECT_EQ(FreeExportPath(dir.path(), kMorning), dir.path() / "20210919_0544_4.csv") << "a directory is taken too";
    EXPECT_EQ(FreeExportPath(dir.path(), LocalTime{2021, 9, 19, 5, 45, 0}), dir.path() / "20210919_0545.csv");
    EXPECT_EQ(ReadBytes(dir.path() / "20210919_0544.csv"), "earlier") << "nothing touched by looking";
}

TEST(ExportFile, LinesEndInCrLfAndAreOnDiskBeforeTheFileCloses) {
    TempDir dir;
    const std::filesystem::path path = dir.path() / "rows.csv";
    std::ofstream out(path, std::ios::binary);
    ASSERT_TRUE(WriteCsvLine(out, kCsvHeader));
    EXPECT_EQ(ReadBytes(path), "INDEX,TYPE,COUNTRY ID,TID,TIME\r\n");
    ASSERT_TRUE(WriteCsvLine(out, CsvRow(1, {"FDXB", "982", "123456789012", "2020-09-13 12:26:40"})));
    ASSERT_TRUE(WriteCsvLine(out, CsvRow(12, {"HDX", "1023", "2147483648", ""})));
    EXPECT_EQ(ReadBytes(path),
              "INDEX,TYPE,COUNTRY ID,TID,TIME\r\n"
              "1,FDXB,982,123456789012,2020-09-13 12:26:40\r\n"
              "12,HDX,1023,2147483648,\r\n");
}

TEST(ExportFile, AnyUnicodeFolderTakesTheFile) {
    TempDir dir;
    const std::filesystem::path folder = dir.path() / std::filesystem::path(u8"Z\u00fcrich \u0434\u0430\u043d\u043d\u044b\u0435 \u6771\u4eac");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::filesystem::path path = FreeExportPath(folder, kMorning);
    std::ofstream out(path, std::ios::binary);
    ASSERT_TRUE(WriteCsvLine(out, kCsvHeader));
    out.close();
    std::filesystem::directory_iterator entries(folder);
    ASSERT_NE(entries, std::filesystem::directory_iterator());
    EXPECT_EQ(entries->path().filename(), "20210919_0544.csv");
    EXPECT_EQ(ReadBytes(entries->path()), "INDEX,TYPE,COUNTRY ID,TID,TIME\r\n");
    EXPECT_EQ(FreeExportPath(folder, kMorning).filename(), "20210919_0544_2.csv");
}

TEST(ExportFile, WriteToAStreamThatIsNotOpenFails) {
    std::ofstream closed;
    EXPECT_FALSE(WriteCsvLine(closed, kCsvHeader));
}

}  // namespace
