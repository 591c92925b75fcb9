#include "formats/date_form.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "formats/form_names.h"
#include "ops/csv_writer.h"
#include "ops/format_text.h"
#include "ops/local_time.h"

namespace {

const std::array<const char*, 3> kFormNames = {"iso", "dmy", "date"};
const char* const kIsoFormat = "%04d-%02d-%02d %02d:%02d:%02d";
const char* const kDmyTimeFormat = "%02d/%02d/%04d %02d:%02d:%02d";
const char* const kDmyFormat = "%02d/%02d/%04d";
const char* const kIsoDateFormat = "%04d-%02d-%02d";
constexpr size_t kIsoDateLength = 10;  // YYYY-MM-DD
const LocalTime kExampleTime = {2021, 9, 19, 5, 44, 59};

namespace chrono = std::chrono;

chrono::year_month_day Ymd(const CalendarDate& date) {
    return chrono::year{date.year} / chrono::month{unsigned(date.month)} / chrono::day{unsigned(date.day)};
}

bool Digits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

}  // namespace

std::vector<std::string> DateFormNames() { return AllNames(kFormNames); }

std::string_view DateFormName(DateForm form) { return NameOf(kFormNames, form); }

std::optional<DateForm> DateFormFromName(std::string_view name) { return FormNamed<DateForm>(kFormNames, name); }

std::string ReadingTime(const DecodedTag& tag, DateForm form) {
    if (form == DateForm::Iso) return TimeText(tag.seconds);
    LocalTime local;
    if (!ToLocalTime(tag.seconds, local)) return {};
    return DateFormText(local, form);
}

std::string DateFormText(const LocalTime& t, DateForm form) {
    switch (form) {
    case DateForm::Iso: return FormatText(kIsoFormat, t.year, t.month, t.day, t.hour, t.minute, t.second);
    case DateForm::Dmy: return FormatText(kDmyTimeFormat, t.day, t.month, t.year, t.hour, t.minute, t.second);
    case DateForm::Date: break;
    }
    return DayMonthYear(DateOf(t));
}

std::string DateFormExample(DateForm form) { return DateFormText(kExampleTime, form); }

std::optional<CalendarDate> ParseCalendarDate(std::string_view text) {
    if (text.size() != kIsoDateLength || text[4] != '-' || text[7] != '-') return std::nullopt;
    const std::string_view year = text.substr(0, 4), month = text.substr(5, 2), day = text.substr(8, 2);
    if (!Digits(year) || !Digits(month) || !Digits(day)) return std::nullopt;
    const CalendarDate date{Number(year), Number(month), Number(day)};
    if (!Ymd(date).ok()) return std::nullopt;
    return date;
}

std::string IsoDate(const CalendarDate& date) { return FormatText(kIsoDateFormat, date.year, date.month, date.day); }

std::string DayMonthYear(const CalendarDate& date) { return FormatText(kDmyFormat, date.day, date.month, date.year); }

CalendarDate DateOf(const LocalTime& time) { return {time.year, time.month, time.day}; }

CalendarDate AddDays(const CalendarDate& date, int days) {
    const chrono::year_month_day later{chrono::sys_days{Ymd(date)} + chrono::days{days}};
    return {int(later.year()), int(unsigned(later.month())), int(unsigned(later.day()))};
}
