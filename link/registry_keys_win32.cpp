#include "link/registry_keys.h"

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

std::optional<std::wstring> StringValue(HKEY key, const wchar_t* name) {
    wchar_t data[256] = {};
    DWORD bytes = sizeof data - sizeof(wchar_t);  // room for a terminator the registry may omit
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    return std::wstring(data);
}

void VisitDeviceParameters(const wchar_t* enumKey,
                           const std::function<bool(const std::wstring& instance, HKEY parameters)>& visit) {
    HKEY bus = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, enumKey, 0, KEY_READ, &bus) != ERROR_SUCCESS) return;
    bool done = false;
    for (const std::wstring& device : SubkeyNames(bus)) {
        HKEY deviceKey = nullptr;
        if (RegOpenKeyExW(bus, device.c_str(), 0, KEY_READ, &deviceKey) != ERROR_SUCCESS) continue;
        for (const std::wstring& instance : SubkeyNames(deviceKey)) {
            HKEY parameters = nullptr;
            std::wstring path = instance + L"\\Device Parameters";
            if (RegOpenKeyExW(deviceKey, path.c_str(), 0, KEY_READ, &parameters) != ERROR_SUCCESS) continue;
            done = visit(instance, parameters);
            RegCloseKey(parameters);
            if (done) break;
        }
        RegCloseKey(deviceKey);
        if (done) break;
    }
    RegCloseKey(bus);
}
