// The name a user gives a Bluetooth reader that has no tty: "bt:" and its
// address, optionally "/" and an RFCOMM channel (bt:00:11:22:33:44:55/1).
// Without a channel the device's Serial Port service record is asked for
// it when the port opens.
#pragma once

#include <optional>
#include <string>

inline constexpr const char* kBluetoothPortPrefix = "bt:";

struct BluetoothPortName {
    std::string address;  // upper case, colon separated: 00:11:22:33:44:55
    int channel = 0;      // 1 to 30; 0 when the name gives none
};

// True for every name in the "bt:" form, well formed or not.
bool IsBluetoothPortName(const std::string& name);
// The address and channel of a well-formed name; nothing otherwise.
std::optional<BluetoothPortName> ParseBluetoothPortName(const std::string& name);
// An address as BlueZ writes it, in upper case, from sysfs's lower case.
std::string NormalBluetoothAddress(const std::string& address);
// "bt:ADDRESS" for a device's address.
std::string BluetoothPortNameOf(const std::string& address);
