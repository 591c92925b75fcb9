#include "doctor/adapter_latency.h"

#include <windows.h>

#include "link/com_port_name.h"
#include "link/registry_keys.h"
#include "link/utf.h"
#include "ops/format_text.h"

namespace {

// The FTDI driver keeps each adapter's settings under
// FTDIBUS\<device id>\<instance>\Device Parameters.
const wchar_t* const kFtdiBusKey = L"SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";
const char* const kDeviceManagerHint =
    "lower it to 1 ms in Device Manager: Ports (COM & LPT) > %s > Properties > Port Settings > Advanced > "
    "Latency Timer";

// The timer of one adapter's Device Parameters when its PortName is `port`.
std::optional<int> LatencyOfPort(HKEY parameters, const std::wstring& port) {
    std::optional<std::wstring> name = StringValue(parameters, L"PortName");
    if (!name || ComPortName(NarrowFromWide(*name)) != port) return std::nullopt;
    DWORD ms = 0;
    DWORD type = 0;
    DWORD bytes = sizeof ms;
    if (RegQueryValueExW(parameters, L"LatencyTimer", nullptr, &type, reinterpret_cast<BYTE*>(&ms), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return static_cast<int>(ms);
}

}  // namespace

std::optional<int> AdapterLatencyMs(const std::string& port) {
    std::wstring wanted = ComPortName(port);
    std::optional<int> found;
    VisitDeviceParameters(kFtdiBusKey, [&](const std::wstring&, HKEY parameters) {
        found = LatencyOfPort(parameters, wanted);
        return found.has_value();
    });
    return found;
}

std::string LowerLatencyHint(const std::string& port) {
    return FormatText(kDeviceManagerHint, NarrowFromWide(ComPortName(port)).c_str());
}
