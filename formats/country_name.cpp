#include "formats/country_name.h"

#include <algorithm>

#include "formats/country_table.h"

namespace {

const char* const kManufacturer = "manufacturer code ";
const char* const kTestTag = "test tag";
constexpr unsigned kFirstManufacturerCode = 900;
constexpr unsigned kTestTagCode = 999;

}  // namespace

std::string CountryName(unsigned code) {
    if (code == kTestTagCode) return kTestTag;
    if (code >= kFirstManufacturerCode && code < kTestTagCode) return kManufacturer + std::to_string(code);
    const auto table = CountryTable();
    const auto entry = std::lower_bound(table.begin(), table.end(), code,
                                        [](const CountryEntry& e, unsigned c) { return unsigned(e.code) < c; });
    if (entry == table.end() || unsigned(entry->code) != code) return {};
    return entry->name;
}
