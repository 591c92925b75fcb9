// Small helpers for looking at what the program printed and wrote.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The whole file, bytes as they are; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
