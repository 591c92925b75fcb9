#include "link/usb_serial_device.h"

#include <cwctype>

namespace {

// FTDI, Microsoft's CDC-ACM driver (usbser.sys), Silicon Labs CP210x (old
// and new driver), Prolific PL2303.
const std::wstring_view kUsbDevicePrefixes[] = {
    L"\\Device\\VCP", L"\\Device\\USBSER", L"\\Device\\Silabser", L"\\Device\\slabser", L"\\Device\\ProlificSerial",
};

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
    }
    return true;
}

}  // namespace

bool IsUsbSerialDevice(std::wstring_view deviceName) {
    for (std::wstring_view prefix : kUsbDevicePrefixes) {
        if (StartsWithIgnoringCase(deviceName, prefix)) return true;
    }
    return false;
}
