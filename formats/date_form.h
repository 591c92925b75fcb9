// Dates as exports and the command line write them.
//
// A record's time of reading comes in three forms (by the name a user
// gives): "iso", the window's "2020-09-13 12:26:40" (the default); "dmy",
// "13/09/2020 12:26:40"; "date", "13/09/2020", the form Australian and New
// Zealand registries ask for. A time the C library cannot convert stays
// empty in every form, as in the window's file.
//
// Dates given on the command line are written YYYY-MM-DD and must exist in
// the calendar.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ops/clock.h"
#include "ops/tag_record.h"

enum class DateForm { Iso, Dmy, Date };

// The names in the order of the enum: "iso", "dmy", "date".
std::vector<std::string> DateFormNames();
std::string_view DateFormName(DateForm form);
std::optional<DateForm> DateFormFromName(std::string_view name);

// The tag's time of reading in `form`; Iso is exactly the window's text.
std::string ReadingTime(const DecodedTag& tag, DateForm form);
// A local time in `form`.
std::string DateFormText(const LocalTime& time, DateForm form);
// How `form` writes 19 September 2021 at 05:44:59, for a user choosing a
// form by what it looks like: "19/09/2021" for Date.
std::string DateFormExample(DateForm form);

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;

    auto operator<=>(const CalendarDate&) const = default;
};

// "2020-09-13", or nothing for any other text or a day the calendar lacks.
std::optional<CalendarDate> ParseCalendarDate(std::string_view text);
// The same text of a date: "2020-09-13".
std::string IsoDate(const CalendarDate& date);
// "13/09/2020".
std::string DayMonthYear(const CalendarDate& date);
CalendarDate DateOf(const LocalTime& time);
// `days` later (earlier when negative).
CalendarDate AddDays(const CalendarDate& date, int days);
