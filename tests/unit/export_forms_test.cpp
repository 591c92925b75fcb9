// The files the forms and the registries' profiles write, on the disk:
// the window's CSV unchanged with the default forms, the other forms, the
// NLIS file, and the NAIT file split at 2,500 rows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sstream>

#include "formats/formats.h"
#include "ops/csv_writer.h"
#include "ops/export_file.h"
#include "sample_records.h"
#include "temp_dir.h"

namespace {

ExportProfile Forms(IdForm id, DateForm date) {
    ExportProfile profile;
    profile.forms = {id, date};
    return profile;
}

class ExportFormsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static char utc[] = "TZ=UTC0";
        putenv(utc);
        tzset();
    }

    // `writer` given `records` the way the export gives them; the first file's path.
    std::filesystem::path Export(RecordWriter& writer, const std::vector<TagRecord>& records) {
        ExportFile file;
        EXPECT_TRUE(file.Claim(dir.path(), kMorning, writer.NameEnding(int32_t(records.size()))));
        EXPECT_TRUE(writer.Begin(file));
        int index = 0;
        for (const TagRecord& record : records) EXPECT_TRUE(writer.Add(++index, record, DecodeTagRecord(record)));
        EXPECT_TRUE(writer.Finish());
        EXPECT_TRUE(file.Sync() && file.Close());
        return file.Path();
    }

    std::string Exported(std::string_view format, const ExportProfile& profile) {
        return ReadBytes(Export(*MakeRecordWriter(format, profile), {kFdxb, kHdx}));
    }

    TempDir dir;
};

TEST_F(ExportFormsTest, TheDefaultFormsWriteTheWindowsFile) {
    CsvWriter window;
    const std::string expected = ReadBytes(Export(window, {kFdxb, kHdx}));
    EXPECT_EQ(expected, "INDEX,TYPE,COUNTRY ID,TID,TIME\r\n1,FDXB,982,123456789012,2020-09-13 12:26:40\r\n"
                        "2,HDX,982,0123456789,2020-09-13 12:26:40\r\n");
    EXPECT_EQ(Exported("csv", {}), expected);
}

TEST_F(ExportFormsTest, OtherFormsReplaceTheColumnsTheyConcern) {
    EXPECT_EQ(Exported("csv", Forms(IdForm::Eid15, DateForm::Dmy)),
              "INDEX,TYPE,EID,TIME\r\n1,FDXB,982123456789012,13/09/2020 12:26:40\r\n"
              "2,HDX,982000123456789,13/09/2020 12:26:40\r\n");
    EXPECT_EQ(Exported("csv", Forms(IdForm::Spaced, DateForm::Date)),
              "INDEX,TYPE,EID,TIME\r\n1,FDXB,982 123456789012,13/09/2020\r\n2,HDX,982 000123456789,13/09/2020\r\n");
    EXPECT_EQ(Exported("csv", Forms(IdForm::Eid16, DateForm::Iso)),
              "INDEX,TYPE,EID,TIME\r\n1,FDXB,0982123456789012,2020-09-13 12:26:40\r\n"
              "2,HDX,0982000123456789,2020-09-13 12:26:40\r\n");
}

TEST_F(ExportFormsTest, NlisRowsHaveNoHeader) {
    ExportProfile profile;
    profile.nlis = {"3ABCD123", "NA123456", "12345678", {2021, 8, 1}};
    EXPECT_EQ(Exported("nlis", profile), "982 123456789012,3ABCD123,NA123456,12345678,01/08/2021\r\n"
                                         "982 000123456789,3ABCD123,NA123456,12345678,01/08/2021\r\n");
}

TEST_F(ExportFormsTest, NlisPicWritesEachTagOnceBesideThePic) {
    ExportProfile profile;
    profile.pic = "QBCD0001";
    EXPECT_EQ(ReadBytes(Export(*MakeRecordWriter("nlis-pic", profile), {kFdxb, kHdx, kFdxb, kHdx})),
              "QBCD0001,982 123456789012\r\nQBCD0001,982 000123456789\r\n");
}

const char* const kNaitHeader = "Sending NAIT Number,Receiving NAIT Number,NAIT RFID,NAIT Visual Tag Number,"
                                "External Record ID,Date Sent,Date Received\r\n";

TEST_F(ExportFormsTest, NaitRowsUnderTheirHeadings) {
    ExportProfile profile;
    profile.nait = {"12345", "67890", CalendarDate{2020, 9, 14}, std::nullopt};
    EXPECT_EQ(Exported("nait", profile), std::string(kNaitHeader) +
                                             "12345,67890,982 123456789012,,1,14/09/2020,\r\n"
                                             "12345,67890,982 000123456789,,2,14/09/2020,\r\n");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "20210919_0544.csv")) << "one file keeps the export's name";
}

TEST_F(ExportFormsTest, NaitSplitsAfterTwoThousandFiveHundredRowsEveryRowOnce) {
    NaitWriter writer({"12345", "67890", std::nullopt, CalendarDate{2020, 9, 14}});
    const std::filesystem::path first = Export(writer, std::vector<TagRecord>(kNaitRowsPerFile + 1, kFdxb));
    const std::vector<std::filesystem::path> files = {dir.path() / "20210919_0544_1.csv",
                                                      dir.path() / "20210919_0544_2.csv"};
    EXPECT_EQ(first, files[0]);
    EXPECT_EQ(writer.FurtherFiles(), std::vector<std::filesystem::path>{files[1]});
    std::vector<int> seen;
    for (const auto& file : files) {
        const std::string text = ReadBytes(file);
        ASSERT_EQ(text.rfind(kNaitHeader, 0), 0u) << file;
        std::istringstream lines(text.substr(std::string_view(kNaitHeader).size()));
        for (std::string line; std::getline(lines, line);) {
            EXPECT_EQ(line.rfind("12345,67890,982 123456789012,,", 0), 0u) << line;
            seen.push_back(std::stoi(line.substr(line.find(",,") + 2)));
        }
    }
    ASSERT_EQ(seen.size(), size_t(kNaitRowsPerFile + 1));
    for (size_t i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], int(i) + 1);
    const std::string full = ReadBytes(files[0]);
    EXPECT_EQ(std::count(full.begin(), full.end(), '\n'), kNaitRowsPerFile + 1) << "the first file is full";
}

}  // namespace
