// printf-style formatting into a std::string, for the fixed texts that
// carry a number or a name: one place for the buffer and its length. And
// names listed in one text ("a.csv, a_2.csv").
#pragma once

#include <cstdio>
#include <string>
#include <vector>

template <typename... Values>
std::string FormatText(const char* format, Values... values) {
    // Most texts fit here, so the common case formats once.
    char text[128];
    const int length = std::snprintf(text, sizeof text, format, values...);
    if (length < 0) return {};
    if (static_cast<size_t>(length) < sizeof text) return std::string(text, static_cast<size_t>(length));
    std::string longer(static_cast<size_t>(length), '\0');
    std::snprintf(longer.data(), longer.size() + 1, format, values...);
    return longer;
}

inline std::string JoinedText(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
    return text;
}
