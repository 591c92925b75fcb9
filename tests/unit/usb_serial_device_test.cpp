// Telling USB serial adapters from other COM ports by the kernel device
// name Windows lists them under.
#include <gtest/gtest.h>

#include "link/usb_serial_device.h"

namespace {

TEST(UsbSerialDevice, DriversOfUsbAdaptersCountInAnyCase) {
    for (const wchar_t* name : {L"\\Device\\VCP0", L"\\Device\\VCP12", L"\\Device\\USBSER000", L"\\Device\\Silabser0",
                                L"\\Device\\slabser3", L"\\Device\\ProlificSerial0", L"\\DEVICE\\vcp1",
                                L"\\device\\UsbSer001"}) {
        EXPECT_TRUE(IsUsbSerialDevice(name)) << name;
    }
}

TEST(UsbSerialDevice, BuiltInBluetoothAndUnknownPortsDoNot) {
    for (const wchar_t* name : {L"\\Device\\Serial0", L"\\Device\\Serial10", L"\\Device\\BthModem0",
                                L"\\Device\\com0com10", L"\\Device\\VC", L"\\Device\\", L"VCP0", L"", L"USBSER000",
                                L"\\Devices\\VCP0"}) {
        EXPECT_FALSE(IsUsbSerialDevice(name)) << name;
    }
}

TEST(UsbSerialDevice, TheDriverIsNamedForKnownDevicesOnly) {
    EXPECT_EQ(SerialDriverOf(L"\\Device\\VCP3"), "FTDI (ftdibus)");
    EXPECT_EQ(SerialDriverOf(L"\\Device\\Serial0"), "built-in or PCI port (serial)");
    EXPECT_EQ(SerialDriverOf(L"\\Device\\com0com10"), "");
}

}  // namespace
