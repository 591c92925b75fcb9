// Windows: reading the registry's device keys, for the port list and the
// adapters' settings.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>
#include <windows.h>

// The names of `key`'s subkeys; none when it cannot be read.
std::vector<std::wstring> SubkeyNames(HKEY key);
// A REG_SZ value of `key`; nothing where there is none.
std::optional<std::wstring> StringValue(HKEY key, const wchar_t* name);

// Calls `visit` with the name of each device instance under
// HKLM\<enumKey>\<device>\<instance> (Enum\FTDIBUS, Enum\BTHENUM) and its
// open Device Parameters key, until `visit` returns true.
void VisitDeviceParameters(const wchar_t* enumKey,
                           const std::function<bool(const std::wstring& instance, HKEY parameters)>& visit);
