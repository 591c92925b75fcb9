#include "link/usb_serial_device.h"

#include <cwctype>

namespace {

enum class Link { Usb, Other, Bluetooth };

struct KnownDriver {
    std::wstring_view prefix;
    std::string_view name;
    Link link;
};

// FTDI, Microsoft's CDC-ACM driver (usbser.sys), Silicon Labs CP210x (old
// and new driver), Prolific PL2303; then the ports that are not adapters.
const KnownDriver kKnownDrivers[] = {
    {L"\\Device\\VCP", "FTDI (ftdibus)", Link::Usb},
    {L"\\Device\\USBSER", "USB CDC-ACM (usbser)", Link::Usb},
    {L"\\Device\\Silabser", "Silicon Labs CP210x (silabser)", Link::Usb},
    {L"\\Device\\slabser", "Silicon Labs CP210x (slabser)", Link::Usb},
    {L"\\Device\\ProlificSerial", "Prolific PL2303 (ser2pl)", Link::Usb},
    {L"\\Device\\Serial", "built-in or PCI port (serial)", Link::Other},
    {L"\\Device\\BthModem", "Bluetooth (bthmodem)", Link::Bluetooth},
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
    return driver != nullptr && driver->link == Link::Usb;
}

bool IsBluetoothSerialDevice(std::wstring_view deviceName) {
    const KnownDriver* driver = DriverOf(deviceName);
    return driver != nullptr && driver->link == Link::Bluetooth;
}

std::string_view SerialDriverOf(std::wstring_view deviceName) {
    const KnownDriver* driver = DriverOf(deviceName);
    return driver ? driver->name : std::string_view();
}
