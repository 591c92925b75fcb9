// Where the book lives unless the user names another file:
// $XDG_DATA_HOME/kavrin/records.db (~/.local/share/kavrin/records.db when
// XDG_DATA_HOME is unset or not absolute) on Linux,
// %LOCALAPPDATA%\Kavrin\records.db on Windows. Empty when the environment
// names no such folder.
#pragma once

#include <filesystem>

std::filesystem::path DefaultBookPath();
