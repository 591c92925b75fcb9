// The system's dialogs for a file to open and a file to save to.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>

// `filter` as the framework writes them: "Text (*.txt)|*.txt||".
std::optional<std::filesystem::path> ChooseFileToOpen(HWND owner, const char* filter);
// Starting at `suggested`; Windows asks before an existing file is replaced.
std::optional<std::filesystem::path> ChooseFileToSave(HWND owner, const std::filesystem::path& suggested,
                                                      const char* filter);
