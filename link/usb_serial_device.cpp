#include "link/usb_serial_device.h"

#include <cwctype>

namespace {

struct KnownDriver {
    std::wstring_view prefix;
    std::string_view name;
    bool usb;
};

// FTDI, Microsoft's CDC-ACM driver (usbser.sys), Silicon Labs CP210x (old
// and new driver), Prolific PL2303; then the ports that are not adapters.
const KnownDriver kKnownDrivers[] = {
    {L"\\Device\\VCP", "FTDI (ftdibus)", true},
    {L"\\Device\\USBSER", "USB CDC-ACM (usbser)", true},
    {L"\\Device\\Silabser", "Silicon Labs CP210x (silabser)", true},
    {L"\\Device\\slabser", "Silicon Labs CP210x (slabser)", true},
    {L"\\Device\\ProlificSerial", "Prolific PL2303 (ser2pl)", true},
    {L"\\Device\\Serial", "built-in or PCI port (serial)", false},
    {L"\\Device\\BthModem", "Bluetooth (bthmodem)", false},
};

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::towlower(text[i]) != std::towlower(prefix[i])) return false;
    }
    return true;
}

const KnownDriver* DriverOf(std::wstring_view deviceName) {
    for (const KnownDriver& driver : kKnownDrivers) {
        if (StartsWithIgnoringCase(deviceName, driver.prefix)) return &driver;
    }
    return nullptr;
}

}  // namespace

bool IsUsbSerialDevice(std::wstring_view deviceName) {
    const KnownDriver* driver = DriverOf(deviceName);
    return driver != nullptr && driver->usb;
}

std::string_view SerialDriverOf(std::wstring_view deviceName) {
    const KnownDriver* driver = DriverOf(deviceName);
    return driver ? driver->name : std::string_view();
}
