// The time of reading in each date form, and the dates a user types.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "formats/formats.h"

namespace {

class DateFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static char utc[] = "TZ=UTC0";
        putenv(utc);
        tzset();
    }
};

// FDX-B 982 123456789012, read at 2020-09-13 12:26:40 UTC.
const TagRecord kRecord = {0x00, 0x14, 0x1A, 0x99, 0xBE, 0x9C, 0xF5, 0, 0, 0, 0, 0, 0x5F, 0x5E, 0x10, 0x00};

TEST_F(DateFormTest, EachFormOfTheTimeOfReading) {
    const DecodedTag tag = DecodeTagRecord(kRecord);
    EXPECT_EQ(ReadingTime(tag, DateForm::Iso), "2020-09-13 12:26:40");
    EXPECT_EQ(ReadingTime(tag, DateForm::Dmy), "13/09/2020 12:26:40");
    EXPECT_EQ(ReadingTime(tag, DateForm::Date), "13/09/2020");
}

TEST_F(DateFormTest, FormsByName) {
    EXPECT_EQ(DateFormNames(), (std::vector<std::string>{"iso", "dmy", "date"}));
    for (const std::string& name : DateFormNames()) EXPECT_EQ(DateFormName(*DateFormFromName(name)), name);
    EXPECT_FALSE(DateFormFromName("ISO"));
}

TEST_F(DateFormTest, CommandLineDatesAreCalendarDays) {
    EXPECT_EQ(ParseCalendarDate("2020-09-13"), (CalendarDate{2020, 9, 13}));
    EXPECT_EQ(IsoDate({2020, 9, 3}), "2020-09-03");
    EXPECT_EQ(ParseCalendarDate("2024-02-29"), (CalendarDate{2024, 2, 29}));
    for (const char* bad : {"2023-02-29", "2020-13-01", "2020-00-10", "2020-9-13", "13/09/2020", "2020-09-13 ",
                            "20200913", "2020-09-1x", ""}) {
        EXPECT_FALSE(ParseCalendarDate(bad)) << bad;
    }
    EXPECT_EQ(DayMonthYear({2021, 8, 1}), "01/08/2021");
    EXPECT_EQ(AddDays({2020, 12, 29}, 4), (CalendarDate{2021, 1, 2}));
    EXPECT_EQ(AddDays({2024, 2, 27}, 2), (CalendarDate{2024, 2, 29}));
}

}  // namespace
