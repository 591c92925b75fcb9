#include "link/port_list.h"

#include <algorithm>
#include <windows.h>

#include "link/bluetooth_instance.h"
#include "link/com_port_device.h"
#include "link/com_port_name.h"
#include "link/natural_order.h"
#include "link/registry_keys.h"
#include "link/serial_port.h"
#include "link/usb_serial_device.h"
#include "link/utf.h"

namespace {

const wchar_t* const kSerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
const int kAlwaysTriedComCount = 18;
// Each Bluetooth COM port's device: BTHENUM\<service>\<instance>.
const wchar_t* const kBluetoothEnumKey = L"SYSTEM\\CurrentControlSet\\Enum\\BTHENUM";

struct SerialCommEntry {
    std::wstring device;  // the driver's kernel device: \Device\VCP0
    std::string name;     // the port: COM3
};

// Every port the key lists: each value is a driver's device, its data the
// port name.
std::vector<SerialCommEntry> SerialCommEntries() {
    std::vector<SerialCommEntry> entries;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return entries;
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
        std::string name = NarrowFromWide(data);
        if (!name.empty()) entries.push_back({std::wstring(valueName, valueNameLength), name});
    }
    RegCloseKey(key);
    return entries;
}

// The COM names Windows lists as present now. With `usbOnly`, only the
// ports of USB serial drivers.
std::vector<std::string> PresentComNames(bool usbOnly) {
    std::vector<std::string> names;
    for (const SerialCommEntry& entry : SerialCommEntries()) {
        if (usbOnly && !IsUsbSerialDevice(entry.device)) continue;
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end(), NaturalLess);
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// The kernel device SERIALCOMM lists `port` under; empty where it lists none.
std::wstring SerialCommDevice(const std::wstring& port) {
    for (const SerialCommEntry& entry : SerialCommEntries())
        if (ComPortName(entry.name) == port) return entry.device;
    return {};
}

bool IsBluetoothPort(const std::string& port) { return IsBluetoothSerialDevice(SerialCommDevice(ComPortName(port))); }

// The instance of the BTHENUM device whose PortName is `port`.
BluetoothInstance BluetoothInstanceOf(const std::wstring& port) {
    BluetoothInstance found;
    VisitDeviceParameters(kBluetoothEnumKey, [&](const std::wstring& instance, HKEY parameters) {
        std::optional<std::wstring> name = StringValue(parameters, L"PortName");
        if (!name || ComPortName(NarrowFromWide(*name)) != port) return false;
        found = ParseBluetoothInstance(NarrowFromWide(instance));
        return true;
    });
    return found;
}

}  // namespace

std::vector<SerialPortName> PresentSerialPorts() {
    std::vector<SerialPortName> ports;
    for (const std::string& name : PresentComNames(false)) ports.push_back({name, {}, IsBluetoothPort(name)});
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

std::string DescribePort(const std::string& device) {
    for (const ComPortDevice& port : ComPortDevices())
        if (!port.port.empty() && ComPortName(port.port) == ComPortName(device)) return DescribeComPort(port);
    std::wstring kernelDevice = SerialCommDevice(ComPortName(device));
    if (kernelDevice.empty()) return {};
    std::string text = NarrowFromWide(kernelDevice);
    std::string_view driver = SerialDriverOf(kernelDevice);
    if (!driver.empty()) text += "  driver " + std::string(driver);
    if (IsBluetoothSerialDevice(kernelDevice)) {
        std::string direction = DescribeBluetoothInstance(BluetoothInstanceOf(ComPortName(device)));
        if (!direction.empty()) text += "  " + direction;
    }
    return text;
}

OpenStatus CheckPortAccess(const std::string& device) {
    // Opening a Bluetooth port would connect to its device, for seconds.
    if (IsBluetoothPort(device)) return {};
    PortHandle handle = nullptr;
    OpenStatus status = OpenPort(handle, device);
    ClosePort(handle);
    return status;
}
