#include "formats/registry_checks.h"

#include <algorithm>
#include <cctype>

#include "ops/format_text.h"

namespace {

constexpr size_t kPicLength = 8;
constexpr int kDaysInAdvance = 4;
constexpr size_t kNvdMaxLength = 255;

const char* const kNaitNumberNotDigits = "a NAIT number is digits only";
const char* const kDateTooFarFormat = "NAIT takes a date sent at most four days in advance, up to %s";
const char* const kPicLengthFormat = "a PIC has 8 characters, not %zu";
const char* const kPicCharacters = "a PIC is letters and digits only";
const char* const kNvdEmpty = "the NVD or waybill number is empty";
const char* const kNvdCharacters = "an NVD or waybill number is letters and digits only";
const char* const kNvdLengthFormat = "an NVD or waybill number has at most 255 characters, not %zu";
const char* const kNotADate = "a date is written YYYY-MM-DD and must exist in the calendar";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlnum(char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::optional<std::string> NaitNumberRefusal(std::string_view number) {
    if (number.empty() || !std::all_of(number.begin(), number.end(), IsDigit)) return kNaitNumberNotDigits;
    return std::nullopt;
}

std::optional<std::string> NaitDateSentRefusal(const CalendarDate& date, const CalendarDate& today) {
    const CalendarDate latest = AddDays(today, kDaysInAdvance);
    if (date > latest) return FormatText(kDateTooFarFormat, DayMonthYear(latest).c_str());
    return std::nullopt;
}

std::optional<std::string> PicRefusal(std::string_view pic) {
    if (pic.size() != kPicLength) return FormatText(kPicLengthFormat, pic.size());
    if (!std::all_of(pic.begin(), pic.end(), IsAsciiAlnum)) return kPicCharacters;
    return std::nullopt;
}

std::string PicAsWritten(std::string_view pic) {
    std::string written(pic);
    std::transform(written.begin(), written.end(), written.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return written;
}

std::optional<std::string> NvdRefusal(std::string_view nvd) {
    if (nvd.empty()) return kNvdEmpty;
    if (nvd.size() > kNvdMaxLength) return FormatText(kNvdLengthFormat, nvd.size());
    if (!std::all_of(nvd.begin(), nvd.end(), IsAsciiAlnum)) return kNvdCharacters;
    return std::nullopt;
}

std::optional<std::string> CalendarDateRefusal(std::string_view text) {
    if (!ParseCalendarDate(text)) return kNotADate;
    return std::nullopt;
}
