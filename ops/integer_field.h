// The check on the window's integer fields ("Records Cnt", "Auto PwrDwn
// Time"), for every front end that reads them as text.
#pragma once

#include <optional>
#include <string_view>

// The whole text as a decimal int: spaces or tabs around it, an optional
// sign, digits, nothing else. Nothing when the text is not such a number or
// does not fit in an int.
std::optional<int> ParseIntegerField(std::string_view text);

// What a window shows when a field fails its check.
inline constexpr char kNotAnInteger[] = "Please enter an integer.";
inline constexpr char kPowerDownOutOfRange[] = "Please enter an integer between 1 and 60.";

// The automatic power-down time the reader accepts, in minutes.
inline constexpr int kPowerDownMinLow = 1;
inline constexpr int kPowerDownMinHigh = 60;
