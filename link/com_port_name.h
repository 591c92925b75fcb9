// Windows: one spelling of a COM port's name, so names compare.
#pragma once

#include <string>

// "COM5", whether the user wrote COM5, com5: or \\.\COM5.
std::wstring ComPortName(const std::string& port);
