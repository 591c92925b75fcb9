// Names with numbers in the order a person expects: COM2 before COM10.
#pragma once

#include <string>

bool NaturalLess(const std::string& a, const std::string& b);
