// Which entries of Windows' HARDWARE\DEVICEMAP\SERIALCOMM are USB serial
// adapters, and which driver made each.
//
// Each entry's name is the kernel device its driver made: built-in and
// PCI ports (serial.sys) are \Device\Serial<n>, Bluetooth links
// \Device\BthModem<n>, while the common USB serial drivers use names of
// their own. Only those known names count as adapters, so a port nobody
// named is never sent a request just because it exists.
#pragma once

#include <string_view>

bool IsUsbSerialDevice(std::wstring_view deviceName);
// A Bluetooth link: opening it may start a connection to a device by radio.
bool IsBluetoothSerialDevice(std::wstring_view deviceName);

// The driver a device name gives away, as a person knows it ("FTDI
// (ftdibus)"); empty for a name no known driver uses.
std::string_view SerialDriverOf(std::wstring_view deviceName);
