// The "bt:" names a user gives a reader that has no tty.
#include <gtest/gtest.h>

#include "link/bluetooth_port_name.h"

namespace {

TEST(BluetoothPortName, AddressInUpperCaseAndNoChannel) {
    std::optional<BluetoothPortName> name = ParseBluetoothPortName("bt:00:1a:7d:DA:71:13");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->address, "00:1A:7D:DA:71:13");
    EXPECT_EQ(name->channel, 0);
    EXPECT_EQ(BluetoothPortNameOf("00:1a:7d:da:71:13"), "bt:00:1A:7D:DA:71:13");
}

TEST(BluetoothPortName, ChannelsOneToThirty) {
    EXPECT_EQ(ParseBluetoothPortName("bt:00:1A:7D:DA:71:13/1")->channel, 1);
    EXPECT_EQ(ParseBluetoothPortName("bt:00:1A:7D:DA:71:13/30")->channel, 30);
    for (const char* bad : {"/0", "/31", "/", "/x", "/-1", "/100", "/1/2"})
        EXPECT_FALSE(ParseBluetoothPortName(std::string("bt:00:1A:7D:DA:71:13") + bad)) << bad;
}

TEST(BluetoothPortName, MalformedAddressesAreNotNames) {
    for (const char* bad : {"bt:", "bt:00:1A:7D:DA:71", "bt:00:1A:7D:DA:71:13:00", "bt:00-1A-7D-DA-71-13",
                            "bt:00:1A:7D:DA:71:1G", "bt:001A7DDA7113", "00:1A:7D:DA:71:13", "/dev/rfcomm0"})
        EXPECT_FALSE(ParseBluetoothPortName(bad)) << bad;
    EXPECT_TRUE(IsBluetoothPortName("bt:nonsense"));
    EXPECT_FALSE(IsBluetoothPortName("/dev/rfcomm0"));
}

}  // namespace
