// Checks of subcommand arguments, run while the command line is parsed so
// that bad arguments end the program before anything is sent. Each check
// gives an empty text when the argument is good, else what is wrong with it.
#pragma once

#include <optional>
#include <string>

// Whole decimal minutes in the reader's power-down range: "5" and "05",
// not "5.0", "0x3c" or " 5".
std::optional<int> ParseMinutes(const std::string& text);
std::string CheckMinutes(const std::string& text);
// That range as help and checks say it: "1 to 60".
std::string MinutesRange();

// An existing regular file (UTF-8 path).
std::string CheckFile(const std::string& text);
// An existing folder (UTF-8 path).
std::string CheckFolder(const std::string& text);

// A day as YYYY-MM-DD, a real one.
std::string CheckDate(const std::string& text);
// The day after a good YYYY-MM-DD, in the same form.
std::string NextDay(const std::string& date);
