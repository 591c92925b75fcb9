#include "link/com_port_device.h"

#include <vector>
#include <windows.h>
// devguid.h defines its GUIDs only after initguid.h.
#include <initguid.h>
#include <devguid.h>
#include <cfgmgr32.h>
#include <setupapi.h>

#include "link/utf.h"

namespace {

const wchar_t* const kPortNameValue = L"PortName";
const char* const kComPrefix = "COM";
// From the port up to the USB device: an FTDI port sits on FTDIBUS below
// it, a CDC-ACM port on an interface of a composite device.
constexpr int kLevels = 3;

std::string Property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t text[512] = {};
    // Room for the terminators a REG_MULTI_SZ ends in; its first string is kept.
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, property, nullptr, reinterpret_cast<BYTE*>(text),
                                           sizeof text - 2 * sizeof(wchar_t), nullptr))
        return {};
    return NarrowFromWide(text);
}

// The name the ports class installer gave the port, in its device key.
std::string PortName(HDEVINFO set, SP_DEVINFO_DATA& device) {
    HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return {};
    wchar_t name[64] = {};
    DWORD bytes = sizeof name - sizeof(wchar_t);  // room for a terminator the registry may omit
    DWORD type = 0;
    LONG rc = RegQueryValueExW(key, kPortNameValue, nullptr, &type, reinterpret_cast<BYTE*>(name), &bytes);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? NarrowFromWide(name) : std::string();
}

std::string InstanceId(DEVINST instance) {
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
    return CM_Get_Device_IDW(instance, id, MAX_DEVICE_ID_LEN, 0) == CR_SUCCESS ? NarrowFromWide(id) : std::string();
}

void ReadIds(DEVINST instance, ComPortDevice& port) {
    port.bluetooth = BluetoothLinkOf(InstanceId(instance));
    for (int level = 0; level < kLevels; ++level) {
        std::string id = InstanceId(instance);
        if (port.usbId.empty()) port.usbId = UsbIdOf(id);
        if (port.serial.empty()) port.serial = UsbSerialOf(id);
        DEVINST parent = 0;
        if (CM_Get_Parent(&parent, instance, 0) != CR_SUCCESS) return;
        instance = parent;
    }
}

unsigned ProblemCode(DEVINST instance) {
    ULONG status = 0;
    ULONG problem = 0;
    if (CM_Get_DevNode_Status(&status, &problem, instance, 0) != CR_SUCCESS || !(status & DN_HAS_PROBLEM)) return 0;
    return problem;
}

// The port `device` is, as Device Manager shows it; its name empty where
// it names no COM port and has no problem to show instead.
ComPortDevice Describe(HDEVINFO set, SP_DEVINFO_DATA& device) {
    ComPortDevice port;
    port.port = PortName(set, device);
    port.problem = ProblemCode(device.DevInst);
    // Printer ports share the class; a device whose driver failed may never have named its port.
    if (!port.port.starts_with(kComPrefix) && port.problem == 0) return {};
    port.friendlyName = Property(set, device, SPDRP_FRIENDLYNAME);
    if (port.friendlyName.empty()) port.friendlyName = Property(set, device, SPDRP_DEVICEDESC);
    port.service = Property(set, device, SPDRP_SERVICE);
    ReadIds(device.DevInst, port);
    return port;
}

}  // namespace

std::vector<ComPortDevice> ComPortDevices() {
    std::vector<ComPortDevice> ports;
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return ports;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (!SetupDiEnumDeviceInfo(set, index, &device)) break;
        ComPortDevice port = Describe(set, device);
        if (!port.port.empty() || port.problem != 0) ports.push_back(port);
    }
    SetupDiDestroyDeviceInfoList(set);
    return ports;
}

ComPortDevice ComPortOfInterface(const std::wstring& interfacePath) {
    ComPortDevice port;
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE) return port;
    SP_DEVICE_INTERFACE_DATA found{};
    found.cbSize = sizeof found;
    DWORD size = 0;
    if (SetupDiOpenDeviceInterfaceW(set, interfacePath.c_str(), 0, &found)) {
        SetupDiGetDeviceInterfaceDetailW(set, &found, nullptr, 0, &size, nullptr);
    }
    if (size >= sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
        std::vector<BYTE> buffer(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof *detail;
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof device;
        if (SetupDiGetDeviceInterfaceDetailW(set, &found, detail, size, nullptr, &device)) port = Describe(set, device);
    }
    SetupDiDestroyDeviceInfoList(set);
    return port;
}
