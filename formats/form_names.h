// The forms a user picks by name (ID forms, date forms): an enum whose
// values, from 0, index a table of their names.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

template <size_t N>
std::vector<std::string> AllNames(const std::array<const char*, N>& names) {
    return {names.begin(), names.end()};
}

template <typename Form, size_t N>
std::string_view NameOf(const std::array<const char*, N>& names, Form form) {
    return names[static_cast<size_t>(form)];
}

template <typename Form, size_t N>
std::optional<Form> FormNamed(const std::array<const char*, N>& names, std::string_view name) {
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) return std::nullopt;
    return static_cast<Form>(found - names.begin());
}
