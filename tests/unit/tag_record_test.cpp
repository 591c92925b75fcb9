// Turning stored 16-byte records into the texts of a CSV row.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "ops/tag_record.h"

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
    DecodedTag expected;
};

TEST_F(TagRecordTest, DecodesEachLayout) {
    const DecodeCase cases[] = {
        {"FDX-B example",
         Record({0x00, 0x14, 0x1A, 0x99, 0xBE, 0x9C, 0xF5, 0, 0, 0, 0, 0, 0x5F, 0x5E, 0x10, 0x00}),
         {"FDXB", "982", "123456789012", "2020-09-13 12:26:40"}},
        {"HDX example",
         Record({0x01, 0x00, 0x00, 0xF5, 0x80, 0x07, 0x5B, 0xCD, 0x15, 0, 0, 0, 0x5F, 0x5E, 0x10, 0x00}),
         {"HDX", "982", "0123456789", "2020-09-13 12:26:40"}},
        {"unused bytes ignored, FDX-B",
         Record({0x00, 0x14, 0x1A, 0x99, 0xBE, 0x9C, 0xF5, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x5F, 0x5E, 0x10, 0x00}),
         {"FDXB", "982", "123456789012", "2020-09-13 12:26:40"}},
        {"unused bytes ignored, HDX",
         Record({0x01, 0xFF, 0xFF, 0xF5, 0xBF, 0x07, 0x5B, 0xCD, 0x15, 0xFF, 0xFF, 0xFF, 0x5F, 0x5E, 0x10, 0x00}),
         {"HDX", "982", "0123456789", "2020-09-13 12:26:40"}},
        {"small FDX-B identity keeps twelve digits, country three",
         Record({0x00, 0x05, 0, 0, 0, 0x40, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
         {"FDXB", "001", "000000000005", "1970-01-01 00:00:00"}},
        {"FDX-B maxima",
         Record({0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0x80, 0x00, 0x00, 0x00}),
         {"FDXB", "1023", "274877906943", "2038-01-19 03:14:08"}},
        {"FDX-B identity above 32 bits",
         Record({0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}),
         {"FDXB", "000", "004294967296", "2106-02-07 06:28:15"}},
        {"HDX identity 2^31 is unsigned",
         Record({0x01, 0, 0, 0xFF, 0xC0, 0x80, 0x00, 0x00, 0x00, 0, 0, 0, 0x80, 0x00, 0x00, 0x01}),
         {"HDX", "1023", "2147483648", "2038-01-19 03:14:09"}},
        {"HDX identity maximum",
         Record({0x01, 0, 0, 0x00, 0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0}),
         {"HDX", "000", "4294967295", "1970-01-01 00:00:00"}},
    };
    for (const DecodeCase& c : cases) {
        DecodedTag tag = DecodeTagRecord(c.record);
        EXPECT_EQ(tag.type, c.expected.type) << c.name;
        EXPECT_EQ(tag.country, c.expected.country) << c.name;
        EXPECT_EQ(tag.identity, c.expected.identity) << c.name;
        EXPECT_EQ(tag.time, c.expected.time) << c.name;
    }
}

TEST_F(TagRecordTest, OnlyByteZeroOfOneSelectsHdx) {
    TagRecord record = Record({0, 0x14, 0x1A, 0x99, 0xBE, 0x9C, 0xF5, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    for (int first : {0, 2, 0x80, 0xFF}) {
        record[0] = static_cast<uint8_t>(first);
        DecodedTag tag = DecodeTagRecord(record);
        EXPECT_EQ(tag.type, "FDXB") << first;
        EXPECT_EQ(tag.identity, "123456789012") << first;
    }
    record[0] = 1;
    EXPECT_EQ(DecodeTagRecord(record).type, "HDX");
    EXPECT_EQ(DecodeTagRecord(record).identity, "2633302016");  // bytes 5-8: 9C F5 00 00
}

}  // namespace
