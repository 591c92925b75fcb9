// The window's integer fields ("Records Cnt", "Auto PwrDwn Time"): how
// their text is read, the power-down range, and what a failed check says,
// for every front end that reads them, the command line included.
#pragma once

#include <optional>
#include <string_view>

// The whole text as a decimal int: spaces or tabs around it, an optional
// sign, digits, nothing else. Nothing when the text is not such a number or
// does not fit in an int.
std::optional<int> ParseIntegerField(std::string_view text);

// The automatic power-down time the reader accepts, in minutes, and what
// the field shows until it is read or typed over.
inline constexpr int kPowerDownMinLow = 1;
inline constexpr int kPowerDownMinHigh = 60;
inline constexpr int kPowerDownMinAtStart = 10;

inline constexpr bool PowerDownInRange(int minutes) {
    return minutes >= kPowerDownMinLow && minutes <= kPowerDownMinHigh;
}

// What a window shows when a field fails its check.
inline constexpr char kNotAnInteger[] = "Please enter an integer.";
inline constexpr char kPowerDownOutOfRange[] = "Please enter an integer between 1 and 60.";
