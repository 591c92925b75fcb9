#include <ctime>

#include "ops/local_time.h"

bool ToLocalTime(int64_t seconds, LocalTime& out) {
    __time64_t t = seconds;
    std::tm tm{};
    if (_localtime64_s(&tm, &t) != 0) return false;
    out = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    return true;
}
