// Small helpers for looking at what the program printed and wrote.
#pragma once

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// How often `part` occurs in `text`.
inline size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Rows below the header of a CSV file, when every line is whole; -1 otherwise.
inline long WholeRows(const std::string& csv) {
    if (csv.empty() || !csv.ends_with("\r\n")) return -1;
    return static_cast<long>(std::count(csv.begin(), csv.end(), '\n')) - 1;
}

// The whole file, bytes as they are; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
