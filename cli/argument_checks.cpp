#include "cli/argument_checks.h"

#include <chrono>
#include <cstdio>
#include <system_error>

#include "link/utf8_path.h"
#include "ops/format_text.h"
#include "ops/integer_field.h"

namespace {

const char* const kBadMinutes = "the power-down time is a whole number of minutes from ";
const char* const kRangeFormat = "%d to %d";
const char* const kNoSuchFile = "no such file";
const char* const kNoFolder = "no such folder";
const char* const kBadDate = ": not a date: give it as YYYY-MM-DD";
const char* const kDateFormat = "%04d-%02u-%02u";

std::optional<std::chrono::year_month_day> ParseDate(const std::string& text) {
    int year = 0;
    unsigned month = 0, day = 0;
    char end = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        std::sscanf(text.c_str(), "%4d-%2u-%2u%c", &year, &month, &day, &end) != 3) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
    if (!date.ok()) return std::nullopt;
    return date;
}

}  // namespace

std::optional<int> ParseMinutes(const std::string& text) {
    // The window's field takes spaces and a sign; an argument is digits alone.
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    std::optional<int> minutes = ParseIntegerField(text);
    if (!minutes || !PowerDownInRange(*minutes)) return std::nullopt;
    return minutes;
}

std::string CheckMinutes(const std::string& text) { return ParseMinutes(text) ? "" : kBadMinutes + MinutesRange(); }

std::string MinutesRange() { return FormatText(kRangeFormat, kPowerDownMinLow, kPowerDownMinHigh); }

std::string CheckFile(const std::string& text) {
    std::error_code error;
    return std::filesystem::is_regular_file(PathFromUtf8(text), error) ? "" : text + ": " + kNoSuchFile;
}

std::string CheckFolder(const std::string& text) {
    std::error_code error;
    return std::filesystem::is_directory(PathFromUtf8(text), error) ? "" : text + ": " + kNoFolder;
}

std::string CheckDate(const std::string& text) { return ParseDate(text) ? "" : text + kBadDate; }

std::string NextDay(const std::string& date) {
    const std::chrono::year_month_day next{std::chrono::sys_days(*ParseDate(date)) + std::chrono::days(1)};
    return FormatText(kDateFormat, static_cast<int>(next.year()), static_cast<unsigned>(next.month()),
                      static_cast<unsigned>(next.day()));
}
