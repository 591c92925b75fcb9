// A record's time of reading as ISO 8601 local time with its offset from
// UTC: "2020-09-13T12:26:40+05:30". It is the same local time the CSV's TIME
// column shows, and there is none exactly where that column is empty.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

std::optional<std::string> IsoLocalTime(uint32_t seconds);
