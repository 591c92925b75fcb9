#include "book/local_time_text.h"

#include <cstdio>

#include "formats/date_form.h"

namespace {

// What LocalTimeText writes, or its date alone, field by field.
const char* const kFormat = "%04d-%02d-%02d %02d:%02d:%02d";

}  // namespace

std::optional<LocalTime> LocalTimeOfText(const std::string& text) {
    LocalTime time;
    const int fields = std::sscanf(text.c_str(), kFormat, &time.year, &time.month, &time.day, &time.hour, &time.minute,
                                   &time.second);
    if (fields != 3 && fields != 6) return std::nullopt;
    return time;
}

std::string LocalTimeText(const LocalTime& time) { return DateFormText(time, DateForm::Iso); }
