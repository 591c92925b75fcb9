// UTF-8 <-> UTF-16 at the Windows boundary. The core works in UTF-8.
#pragma once

#include <string>

std::wstring WideFromNarrow(const std::string& utf8);
std::string NarrowFromWide(const std::wstring& utf16);
