// Which way a Windows Bluetooth COM port goes, from its BTHENUM instance.
#include <gtest/gtest.h>

#include "link/bluetooth_instance.h"

namespace {

TEST(BluetoothInstance, OutgoingPortNamesItsDevice) {
    BluetoothInstance port = ParseBluetoothInstance("7&2a1c7b4b&0&001a7dda7113_C00000000");
    EXPECT_EQ(port.direction, BluetoothDirection::Outgoing);
    EXPECT_EQ(DescribeBluetoothInstance(port), "outgoing to 00:1A:7D:DA:71:13");
}

TEST(BluetoothInstance, IncomingPortHasZeros) {
    BluetoothInstance port = ParseBluetoothInstance("7&2a1c7b4b&0&000000000000_00000000");
    EXPECT_EQ(port.direction, BluetoothDirection::Incoming);
    EXPECT_EQ(DescribeBluetoothInstance(port), "incoming");
}

TEST(BluetoothInstance, AnythingElseIsUnknown) {
    for (const char* other : {"", "7&2a1c7b4b&0", "7&2a1c7b4b&0&001a7dda71_C00000000",
                              "7&2a1c7b4b&0&001a7dda711z_C00000000"}) {
        BluetoothInstance port = ParseBluetoothInstance(other);
        EXPECT_EQ(port.direction, BluetoothDirection::Unknown);
        EXPECT_EQ(DescribeBluetoothInstance(port), "");
    }
}

}  // namespace
