#include "link/com_port_name.h"

#include <cwctype>

#include "link/utf.h"

std::wstring ComPortName(const std::string& port) {
    std::wstring name = WideFromNarrow(port);
    if (name.starts_with(L"\\\\.\\")) name.erase(0, 4);
    if (name.ends_with(L":")) name.pop_back();
    for (wchar_t& c : name) c = static_cast<wchar_t>(std::towupper(c));
    return name;
}
