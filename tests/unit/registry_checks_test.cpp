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

TEST(RegistryChecks, AnNvdIsUpTo255LettersAndDigits) {
    for (const std::string& good : {std::string("1234567A"), std::string("n1"), std::string(255, '7')}) {
        EXPECT_FALSE(NvdRefusal(good)) << good;
    }
    for (const char* bad : {"", "12,34", "12\"34", "12\n34", "12 34", "12-34", "12/34", "1234\xc3\xa9"}) {
        EXPECT_TRUE(NvdRefusal(bad)) << bad;
    }
    const auto tooLong = NvdRefusal(std::string(256, '7'));
    ASSERT_TRUE(tooLong);
    EXPECT_NE(tooLong->find("not 256"), std::string::npos) << *tooLong;
}

}  // namespace
