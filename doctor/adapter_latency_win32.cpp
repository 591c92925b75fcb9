#include "doctor/adapter_latency.h"

#include <vector>
#include <windows.h>

#include "link/com_port_name.h"
#include "link/utf.h"
#include "ops/format_text.h"

namespace {

// The FTDI driver keeps each adapter's settings under
// FTDIBUS\<device id>\<instance>\Device Parameters.
const wchar_t* const kFtdiBusKey = L"SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";
const wchar_t* const kParametersKey = L"Device Parameters";
const char* const kDeviceManagerHint =
    "lower it to 1 ms in Device Manager: Ports (COM & LPT) > %s > Properties > Port Settings > Advanced > "
    "Latency Timer";

std::vector<std::wstring> SubkeyNames(HKEY key) {
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        LONG rc = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_SUCCESS) names.emplace_back(name, length);
    }
    return names;
}

// The timer of one adapter's Device Parameters when its PortName is `port`.
std::optional<int> LatencyOfPort(HKEY parameters, const std::wstring& port) {
    wchar_t name[64] = {};
    DWORD bytes = sizeof name - sizeof(wchar_t);  // room for a terminator the registry may omit
    DWORD type = 0;
    if (RegQueryValueExW(parameters, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_SZ || ComPortName(NarrowFromWide(name)) != port)
        return std::nullopt;
    DWORD ms = 0;
    bytes = sizeof ms;
    if (RegQueryValueExW(parameters, L"LatencyTimer", nullptr, &type, reinterpret_cast<BYTE*>(&ms), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return static_cast<int>(ms);
}

}  // namespace

std::optional<int> AdapterLatencyMs(const std::string& port) {
    std::wstring wanted = ComPortName(port);
    HKEY bus = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kFtdiBusKey, 0, KEY_READ, &bus) != ERROR_SUCCESS) return std::nullopt;
    std::optional<int> found;
    for (const std::wstring& device : SubkeyNames(bus)) {
        HKEY deviceKey = nullptr;
        if (RegOpenKeyExW(bus, device.c_str(), 0, KEY_READ, &deviceKey) != ERROR_SUCCESS) continue;
        for (const std::wstring& instance : SubkeyNames(deviceKey)) {
            HKEY parameters = nullptr;
            std::wstring path = instance + L"\\" + kParametersKey;
            if (RegOpenKeyExW(deviceKey, path.c_str(), 0, KEY_READ, &parameters) != ERROR_SUCCESS) continue;
            found = LatencyOfPort(parameters, wanted);
            RegCloseKey(parameters);
            if (found) break;
        }
        RegCloseKey(deviceKey);
        if (found) break;
    }
    RegCloseKey(bus);
    return found;
}

std::string LowerLatencyHint(const std::string& port) {
    return FormatText(kDeviceManagerHint, NarrowFromWide(ComPortName(port)).c_str());
}
