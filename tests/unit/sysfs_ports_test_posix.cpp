// Ports found in sysfs alone, on the tree of fake_sysfs.h.
#include <gtest/gtest.h>

#include "fake_sysfs.h"

namespace fs = std::filesystem;

namespace {

TEST_F(SysfsTree, ListsRealPortsOnlyAdaptersFirst) {
    std::vector<SerialPortName> ports = ListOfferedPorts(tree);
    ASSERT_EQ(ports.size(), 3u) << "no placeholder, no pseudo-terminal";
    EXPECT_EQ(ports[0].device, Dev("ttyUSB0"));
    EXPECT_EQ(ports[0].byId, Dev(std::string("serial/by-id/") + kById));
    EXPECT_EQ(ports[1].device, Dev("ttyACM0"));
    EXPECT_EQ(ports[2].device, Dev("ttyS0"));
    EXPECT_EQ(ListUsbAdapters(tree),
              (std::vector<std::string>{Dev(std::string("serial/by-id/") + kById), Dev("ttyACM0")}));
}

TEST_F(SysfsTree, DescribesEachPortFromItsDeviceDriverAndUsbParent) {
    std::optional<TtyHardware> ftdi = ReadTtyHardware(tree, Dev(std::string("serial/by-id/") + kById));
    ASSERT_TRUE(ftdi);
    EXPECT_EQ(LongDescription(*ftdi),
              "0403:6001  FTDI  FT232R USB UART  serial A50285BI  driver ftdi_sio");
    EXPECT_EQ(ftdi->latencyMs, 16);
    EXPECT_EQ(ShortDescription(*ftdi), "FT232R USB UART, ftdi_sio");

    std::optional<TtyHardware> acm = ReadTtyHardware(tree, Dev("ttyACM0"));
    ASSERT_TRUE(acm);
    EXPECT_EQ(LongDescription(*acm), "1d6b:0104  Gadget Serial v2.4  driver cdc_acm");

    std::optional<TtyHardware> uart = ReadTtyHardware(tree, Dev("ttyS0"));
    ASSERT_TRUE(uart);
    EXPECT_EQ(LongDescription(*uart), "driver 8250");
    EXPECT_EQ(ShortDescription(*uart), "8250");
    EXPECT_FALSE(uart->placeholder);
    EXPECT_TRUE(ReadTtyHardware(tree, Dev("ttyS1"))->placeholder);

    EXPECT_EQ(ReadTtyHardware(tree, Dev("ptmx")), std::nullopt);
    EXPECT_EQ(ReadTtyHardware(tree, Dev("ttyUSB9")), std::nullopt);
}

// An rfcomm tty has no device link, only its remote's address (lower
// case, as the kernel prints it) and channel; it is offered with the
// adapters and counts as one.
TEST_F(SysfsTree, RfcommTtyIsAnAdapterWithItsAddressAndChannel) {
    fs::create_directories(tree.sysClassTty / "rfcomm0");
    Write(tree.sysClassTty / "rfcomm0/address", "00:1a:7d:da:71:13");
    Write(tree.sysClassTty / "rfcomm0/channel", "3");
    std::ofstream(tree.dev / "rfcomm0");

    std::vector<SerialPortName> ports = ListOfferedPorts(tree);
    ASSERT_EQ(ports.size(), 4u);
    EXPECT_EQ(ports[1].device, Dev("rfcomm0"));
    EXPECT_TRUE(ports[1].bluetooth);
    EXPECT_FALSE(ports[2].bluetooth);
    EXPECT_EQ(ListUsbAdapters(tree), (std::vector<std::string>{Dev(std::string("serial/by-id/") + kById),
                                                               Dev("rfcomm0"), Dev("ttyACM0")}));

    std::optional<TtyHardware> rfcomm = ReadTtyHardware(tree, Dev("rfcomm0"));
    ASSERT_TRUE(rfcomm);
    EXPECT_EQ(LongDescription(*rfcomm), "Bluetooth 00:1A:7D:DA:71:13 channel 3  driver rfcomm");
    EXPECT_EQ(ShortDescription(*rfcomm), "Bluetooth 00:1A:7D:DA:71:13");
    rfcomm->product = "Reader 4711";
    EXPECT_EQ(LongDescription(*rfcomm), "Bluetooth 00:1A:7D:DA:71:13 channel 3  Reader 4711  driver rfcomm");
    EXPECT_EQ(ShortDescription(*rfcomm), "Reader 4711, Bluetooth");
}

}  // namespace
