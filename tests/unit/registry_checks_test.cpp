// The values a user gives for a registry's file, refused with the reason
// before any file exists.
#include <gtest/gtest.h>

#include "formats/formats.h"

namespace {

TEST(RegistryChecks, NaitNumbersAreDigits) {
    EXPECT_FALSE(NaitNumberRefusal("123456"));
    for (const char* bad : {"", "12 34", "12a4", "-1", "1.5"}) EXPECT_TRUE(NaitNumberRefusal(bad)) << bad;
}

TEST(RegistryChecks, NaitTakesADateSentUpToFourDaysAhead) {
    const CalendarDate today{2020, 12, 29};
    EXPECT_FALSE(NaitDateSentRefusal({2019, 1, 1}, today));
    EXPECT_FALSE(NaitDateSentRefusal({2021, 1, 2}, today));
    const auto refusal = NaitDateSentRefusal({2021, 1, 3}, today);
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find("02/01/2021"), std::string::npos) << *refusal;
}

TEST(RegistryChecks, PicsHaveEightLettersAndDigits) {
    for (const char* good : {"3ABCD123", "NA123456", "tabc1234", "QBCD0001"}) EXPECT_FALSE(PicRefusal(good)) << good;
    for (const char* bad : {"3ABCD12", "3ABCD1234", "3ABC D12", "3ABC-123", "", "3ÄBCD12"}) {
        EXPECT_TRUE(PicRefusal(bad)) << bad;
    }
    EXPECT_EQ(PicAsWritten("tabc1234"), "TABC1234");
}

TEST(RegistryChecks, AnNvdStaysOneCsvField) {
    EXPECT_FALSE(NvdRefusal("1234567A"));
    for (const char* bad : {"", "12,34", "12\"34", "12\n34"}) EXPECT_TRUE(NvdRefusal(bad)) << bad;
}

}  // namespace
