// A local time as the book keeps it: "2021-09-19 05:44:59", the form of the
// export's TIME column, which sorts and compares as text.
#pragma once

#include <optional>
#include <string>

#include "ops/clock.h"

std::string LocalTimeText(const LocalTime& time);
// The time such a text gives; the midnight before it when the text has none; nothing for any other text.
std::optional<LocalTime> LocalTimeOfText(const std::string& text);
