// What the window accepts as an integer in its two fields.
#include <gtest/gtest.h>

#include "ops/integer_field.h"

namespace {

TEST(IntegerField, AcceptsDecimalNumbersWithBlanksAndSign) {
    const std::pair<const char*, int> cases[] = {
        {"10", 10},         {"0", 0},         {"  7\t", 7},  {"+5", 5},
        {"-3", -3},         {"060", 60},      {"61", 61},    {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(ParseIntegerField(text), value) << '"' << text << '"';
}

TEST(IntegerField, RejectsAnythingElse) {
    for (const char* text : {"", "   ", "abc", "1 0", "10min", "1.5", "+", "-", "+-1", "0x10", "2147483648",
                             "-2147483649", "99999999999999999999", "\xef\xbc\x91"})
        EXPECT_EQ(ParseIntegerField(text), std::nullopt) << '"' << text << '"';
}

}  // namespace
