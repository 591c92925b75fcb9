// What the registries ask of the values a user gives for their files,
// checked before any file exists. Each check gives why a value is refused,
// or nothing when it is fit to write.
//
// NAIT (New Zealand): a NAIT number is a number; OSPRI's guides ask for "a
// valid NAIT number" and say no more of its form, so digits are all we can
// check (the registry knows which numbers exist). A date sent may be up to
// four days in advance.
// NLIS (Australia): a Property Identification Code (PIC) has eight
// characters, letters and digits. The NVD or waybill number follows what
// NLIS's guide to upload files asks of the file's free text: letters and
// digits, at most 255.
// Command-line dates are YYYY-MM-DD (see date_form.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/date_form.h"

std::optional<std::string> NaitNumberRefusal(std::string_view number);
// `date` sent, as the registry takes it on `today`.
std::optional<std::string> NaitDateSentRefusal(const CalendarDate& date, const CalendarDate& today);
// Letters are taken in either case; `PicAsWritten` gives the registry's capitals.
std::optional<std::string> PicRefusal(std::string_view pic);
std::string PicAsWritten(std::string_view pic);
std::optional<std::string> NvdRefusal(std::string_view nvd);
// Why `text` is no YYYY-MM-DD date of the calendar.
std::optional<std::string> CalendarDateRefusal(std::string_view text);
