// What Windows' device instance ids give away about a COM port, and the
// line Device Manager's view of a port makes.
#include <gtest/gtest.h>

#include "link/com_port_device.h"

namespace {

TEST(ComPortDevice, UsbVendorAndProductFromAnyIdThatNamesThem) {
    EXPECT_EQ(UsbIdOf("USB\\VID_0403&PID_6001\\A50285BI"), "0403:6001");
    EXPECT_EQ(UsbIdOf("FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000"), "0403:6001");
    EXPECT_EQ(UsbIdOf("usb\\vid_2341&pid_0043&mi_00\\6&3a0b4b8&0&0000"), "2341:0043");
    EXPECT_EQ(UsbIdOf("ACPI\\PNP0501\\1"), "");
    EXPECT_EQ(UsbIdOf("USB\\VID_04"), "");
}

TEST(ComPortDevice, SerialNumberOnlyWhereTheDeviceGaveOne) {
    EXPECT_EQ(UsbSerialOf("USB\\VID_0403&PID_6001\\A50285BI"), "A50285BI");
    EXPECT_EQ(UsbSerialOf("USB\\VID_1A86&PID_7523\\5&2C5D1F0&0&3"), "") << "made up by Windows";
    EXPECT_EQ(UsbSerialOf("USB\\VID_2341&PID_0043&MI_00\\6&3A0B4B8&0&0000"), "") << "an interface";
    EXPECT_EQ(UsbSerialOf("FTDIBUS\\VID_0403+PID_6001+A50285BIA\\0000"), "");
    EXPECT_EQ(UsbSerialOf("USB\\A50285BI"), "");
}

TEST(ComPortDevice, BluetoothDirectionFromTheRemoteAddress) {
    EXPECT_EQ(BluetoothLinkOf("BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0002\\7&1A2B3C4D&0&"
                              "001A7DDA7113_C00000000"),
              BluetoothDirection::Outgoing);
    EXPECT_EQ(BluetoothLinkOf("BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0000\\7&1A2B3C4D&0&"
                              "000000000000_00000000"),
              BluetoothDirection::Incoming);
    EXPECT_EQ(BluetoothLinkOf("USB\\VID_0403&PID_6001\\A50285BI"), BluetoothDirection::Unknown);
}

TEST(ComPortDevice, DescriptionHasTheFieldsThereAre) {
    ComPortDevice ftdi{"COM5", "USB Serial Port (COM5)", "0403:6001", "A50285BI", "FTDIBUS"};
    EXPECT_EQ(DescribeComPort(ftdi), "USB Serial Port (COM5)  0403:6001  serial A50285BI  driver FTDIBUS");
    ComPortDevice link{"COM21", "Standard Serial over Bluetooth link (COM21)", "", "", "BTHMODEM",
                       BluetoothDirection::Outgoing};
    EXPECT_EQ(DescribeComPort(link),
              "Standard Serial over Bluetooth link (COM21)  driver BTHMODEM  Bluetooth outgoing");
}

}  // namespace
