#include "formats/country_name.h"

#include <algorithm>
#include <charconv>

#include "formats/country_table.h"

namespace {

const char* const kManufacturer = "manufacturer code ";
const char* const kTestTag = "test tag";
constexpr int kFirstManufacturerCode = 900;
constexpr int kTestTagCode = 999;

}  // namespace

std::string CountryName(int code) {
    if (code == kTestTagCode) return kTestTag;
    if (code >= kFirstManufacturerCode && code < kTestTagCode) return kManufacturer + std::to_string(code);
    const auto table = CountryTable();
    const auto entry = std::lower_bound(table.begin(), table.end(), code,
                                        [](const CountryEntry& e, int c) { return e.code < c; });
    if (entry == table.end() || entry->code != code) return {};
    return entry->name;
}

int CountryCode(const DecodedTag& tag) {
    int code = 0;
    std::from_chars(tag.country.data(), tag.country.data() + tag.country.size(), code);
    return code;
}
