#include "book/local_time_text.h"

#include "ops/format_text.h"

namespace {

const char* const kFormat = "%04d-%02d-%02d %02d:%02d:%02d";

}  // namespace

std::string LocalTimeText(const LocalTime& time) {
    return FormatText(kFormat, time.year, time.month, time.day, time.hour, time.minute, time.second);
}
