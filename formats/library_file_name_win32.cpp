#include <windows.h>

#include <string>

#include "formats/library_file_name.h"

std::string LibraryFileName(const std::filesystem::path& folder, std::string_view name) {
    std::wstring wide = folder.wstring();
    const DWORD needed = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (needed > 0) {
        std::wstring shortName(needed, L'\0');
        const DWORD length = GetShortPathNameW(wide.c_str(), shortName.data(), needed);
        if (length > 0 && length < needed) wide = shortName.substr(0, length);
    }
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow.data(), bytes, nullptr, nullptr);
    return narrow + '\\' + std::string(name);
}
