// Turning stored 16-byte records into numbers, and those into the texts of
// the window's CSV row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "ops/csv_writer.h"

namespace {

TagRecord Record(std::initializer_list<int> bytes) {
    TagRecord record{};
    size_t i = 0;
    for (int b : bytes) record[i++] = static_cast<uint8_t>(b);
    return record;
}

class TagRecordTest : public ::testing::Test {
protected:
    // Times are shown in local time; pin it to UTC for this process.
    static void SetUpTestSuite() {
        static char utc[] = "TZ=UTC0";
        putenv(utc);
        tzset();
    }
};

struct DecodeCase {
    const char* name;
    TagRecord record;
    TagType type;
    TagId id;
    uint32_t seconds;
    const char* row;  // the window's CSV row 1 for it
};

TEST_F(TagRecordTest, DecodesEachLayoutIntoNumbersAndTheWindowsTexts) {
    const DecodeCase cases[] = {
        {"FDX-B example",
         Record({0x00, 0x14, 0x1A, 0x99, 0xBE, 0x9C, 0xF5, 0, 0, 0, 0, 0, 0x5F, 0x5E, 0x10, 0x00}),
         TagType::Fdxb, {982, 123456789012}, 1600000000, "1,FDXB,982,123456789012,2020-09-13 12:26:40"},
        {"HDX example",
         Record({0x01, 0x00, 0x00, 0xF5, 0x80, 0x07, 0x5B, 0xCD, 0x15, 0, 0, 0, 0x5F, 0x5E, 0x10, 0x00}),
         TagType::Hdx, {982, 123456789}, 1600000000, "1,HDX,982,0123456789,2020-09-13 12:26:40"},
        {"unused bytes ignored, FDX-B",
         Record({0x00, 0x14, 0x1A, 0x99, 0xBE, 0x9C, 0xF5, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x5F, 0x5E, 0x10, 0x00}),
         TagType::Fdxb, {982, 123456789012}, 1600000000, "1,FDXB,982,123456789012,2020-09-13 12:26:40"},
        {"unused bytes ignored, HDX",
         Record({0x01, 0xFF, 0xFF, 0xF5, 0xBF, 0x07, 0x5B, 0xCD, 0x15, 0xFF, 0xFF, 0xFF, 0x5F, 0x5E, 0x10, 0x00}),
         TagType::Hdx, {982, 123456789}, 1600000000, "1,HDX,982,0123456789,2020-09-13 12:26:40"},
        {"small FDX-B identity keeps twelve digits, country three",
         Record({0x00, 0x05, 0, 0, 0, 0x40, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
         TagType::Fdxb, {1, 5}, 0, "1,FDXB,001,000000000005,1970-01-01 00:00:00"},
        {"FDX-B maxima",
         Record({0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0x80, 0x00, 0x00, 0x00}),
         TagType::Fdxb, {1023, 274877906943}, 0x80000000u, "1,FDXB,1023,274877906943,2038-01-19 03:14:08"},
        {"FDX-B identity above 32 bits",
         Record({0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}),
         TagType::Fdxb, {0, 4294967296}, 0xFFFFFFFFu, "1,FDXB,000,004294967296,2106-02-07 06:28:15"},
        {"HDX identity 2^31 is unsigned",
         Record({0x01, 0, 0, 0xFF, 0xC0, 0x80, 0x00, 0x00, 0x00, 0, 0, 0, 0x80, 0x00, 0x00, 0x01}),
         TagType::Hdx, {1023, 2147483648}, 0x80000001u, "1,HDX,1023,2147483648,2038-01-19 03:14:09"},
        {"HDX identity maximum",
         Record({0x01, 0, 0, 0x00, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0}),
         TagType::Hdx, {0, 4294967295}, 0, "1,HDX,000,4294967295,1970-01-01 00:00:00"},
    };
    for (const DecodeCase& c : cases) {
        const DecodedTag tag = DecodeTagRecord(c.record);
        EXPECT_EQ(tag.type, c.type) << c.name;
        EXPECT_EQ(tag.id, c.id) << c.name;
        EXPECT_EQ(tag.seconds, c.seconds) << c.name;
        EXPECT_EQ(CsvRow(1, tag), c.row) << c.name;
    }
}

TEST_F(TagRecordTest, OnlyByteZeroOfOneSelectsHdx) {
    TagRecord record = Record({0, 0x14, 0x1A, 0x99, 0xBE, 0x9C, 0xF5, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int first : {0, 2, 0x80, 0xFF}) {
        record[0] = static_cast<uint8_t>(first);
        const DecodedTag tag = DecodeTagRecord(record);
        EXPECT_EQ(tag.type, TagType::Fdxb) << first;
        EXPECT_EQ(tag.id.national, 123456789012u) << first;
    }
    record[0] = 1;
    EXPECT_EQ(DecodeTagRecord(record).type, TagType::Hdx);
    EXPECT_EQ(DecodeTagRecord(record).id.national, 2633302016u);  // bytes 5-8: 9C F5 00 00
}

}  // namespace
