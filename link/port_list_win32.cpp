#include "link/port_list.h"

#include <algorithm>
#include <windows.h>

#include "link/natural_order.h"
#include "link/usb_serial_device.h"
#include "link/utf.h"

namespace {

const wchar_t* const kSerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
const int kAlwaysTriedComCount = 18;

// The COM names Windows lists as present now: each value of the key is a
// driver's device, its data the port name. With `usbOnly`, only the ports
// of USB serial drivers.
std::vector<std::string> PresentComNames(bool usbOnly) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        DWORD valueNameLength = 256;
        wchar_t data[256] = {};
        DWORD dataBytes = sizeof data - sizeof(wchar_t);  // room for a terminator the registry may omit
        DWORD type = 0;
        LONG rc = RegEnumValueW(key, index, valueName, &valueNameLength, nullptr, &type,
                                reinterpret_cast<BYTE*>(data), &dataBytes);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS || type != REG_SZ) continue;
        if (usbOnly && !IsUsbSerialDevice(std::wstring_view(valueName, valueNameLength))) continue;
        std::string name = NarrowFromWide(data);
        if (!name.empty()) names.push_back(name);
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end(), NaturalLess);
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

}  // namespace

std::vector<SerialPortName> PresentSerialPorts() {
    std::vector<SerialPortName> ports;
    for (const std::string& name : PresentComNames(false)) ports.push_back({name, {}});
    return ports;
}

std::vector<SerialPortName> CandidateSerialPorts() {
    std::vector<SerialPortName> ports = PresentSerialPorts();
    for (int i = 1; i <= kAlwaysTriedComCount; ++i) {
        std::string name = "COM" + std::to_string(i);
        if (std::none_of(ports.begin(), ports.end(), [&](const SerialPortName& port) { return port.device == name; }))
            ports.push_back({name, {}});
    }
    std::sort(ports.begin(), ports.end(),
              [](const SerialPortName& a, const SerialPortName& b) { return NaturalLess(a.device, b.device); });
    return ports;
}

std::vector<std::string> AdapterPorts() { return PresentComNames(true); }

std::string AccessDeniedHint() { return {}; }
