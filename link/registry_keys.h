// Windows: reading the registry's device keys, for the port list and the
// adapters' settings.
#pragma once

#include <optional>
#include <string>
#include <vector>
#include <windows.h>

// The names of `key`'s subkeys; none when it cannot be read.
std::vector<std::wstring> SubkeyNames(HKEY key);
// A REG_SZ value of `key`; nothing where there is none.
std::optional<std::wstring> StringValue(HKEY key, const wchar_t* name);
