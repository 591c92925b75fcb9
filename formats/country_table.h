// The ISO 3166-1 countries by numeric code, sorted by code: generated at
// build time from Debian's iso-codes, so the programs carry it themselves.
#pragma once

#include <span>

struct CountryEntry {
    int code;
    const char* name;  // English short name, UTF-8
};

std::span<const CountryEntry> CountryTable();
