// The name of a tag's country code, for the exports that show it.
//
// ISO 3166-1 codes give the country's English short name (UTF-8). Codes 900
// to 998 are given to tag manufacturers and read "manufacturer code 9xx"
// with the code itself; 999 marks a test tag. Any other code has no name:
// the empty text.
#pragma once

#include <string>

std::string CountryName(unsigned code);
