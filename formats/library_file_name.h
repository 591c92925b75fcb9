// A file name for a C library that opens its files with fopen().
//
// On Windows such a library reads the name in the ANSI code page, where a
// folder with characters outside it cannot be named; the folder is given by
// its short (8.3) name there, which is plain ASCII. `folder` must exist.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

std::string LibraryFileName(const std::filesystem::path& folder, std::string_view name);
