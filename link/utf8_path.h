// Paths from and to the UTF-8 the program works in. On Windows a
// std::filesystem::path made from a plain std::string would read it in the
// ANSI code page and mangle anything outside it.
#pragma once

#include <filesystem>
#include <string>

inline std::filesystem::path PathFromUtf8(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
