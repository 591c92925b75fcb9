// Windows: which way a Bluetooth COM port goes, from the name of its
// device's instance under Enum\BTHENUM. Pairing a Serial Port device gives
// two ports: an outgoing one, whose opening connects to the device and
// whose instance ends in the device's address ("7&2a1c7b4b&0&001122334455_C00000000"),
// and an incoming one, which waits for the device to connect, with zeros
// in its place.
#pragma once

#include <string>
#include <string_view>

enum class BluetoothDirection { Unknown, Incoming, Outgoing };

struct BluetoothInstance {
    BluetoothDirection direction = BluetoothDirection::Unknown;
    std::string address;  // an outgoing port's device: 00:11:22:33:44:55
};

BluetoothInstance ParseBluetoothInstance(std::string_view instance);

// "outgoing to 00:11:22:33:44:55" or "incoming"; empty where unknown.
std::string DescribeBluetoothInstance(const BluetoothInstance& instance);
