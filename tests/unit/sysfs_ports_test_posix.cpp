// Ports found in sysfs alone, on a tree laid out as the kernel lays it: an
// FTDI adapter (usb-serial port below its interface), a CDC-ACM device (the
// tty on the interface), a real UART on a PNP device, the 8250 driver's
// empty placeholder and a pseudo-terminal. The UART is laid out as since
// Linux 6.5 (its tty on the serial core's port below the PNP device), the
// placeholder as before.
#include <gtest/gtest.h>

#include <fstream>

#include "link/device_tree.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

const char* const kById = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

class SysfsTree : public ::testing::Test {
protected:
    void SetUp() override {
        sys = dir.path() / "sys";
        tree = {dir.path() / "dev", sys / "class/tty"};
        fs::create_directories(tree.dev / "serial/by-id");
        fs::path ftdi = Usb("usb1/1-2", "0403", "6001", "FTDI", "FT232R USB UART", "A50285BI");
        Tty("ttyUSB0", Device(ftdi / "1-2:1.0/ttyUSB0", "usb-serial", "ftdi_sio", "ftdi_sio"));
        Write(ftdi / "1-2:1.0/ttyUSB0/latency_timer", "16");
        fs::path acm = Usb("usb1/1-3", "1d6b", "0104", "", "Gadget Serial v2.4", "");
        Tty("ttyACM0", Device(acm / "1-3:2.0", "usb", "cdc_acm", "cdc_acm"));
        fs::path pnp = Device(sys / "devices/pnp0/00:04", "pnp", "serial", "8250");
        Device(pnp / "00:04:0", "serial-base", "ctrl", "serial_base");
        Tty("ttyS0", Device(pnp / "00:04:0/00:04:0.0", "serial-base", "port", "serial_base"), "4");
        Tty("ttyS1", Device(sys / "devices/platform/serial8250", "platform", "serial8250", "8250"), "0");
        fs::create_directories(tree.sysClassTty / "ptmx");
        std::ofstream(tree.dev / "ptmx");
        fs::create_symlink("../../ttyUSB0", tree.dev / "serial/by-id" / kById);
    }

    static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text << "\n"; }

    fs::path Usb(const std::string& path, const std::string& vendor, const std::string& product,
                 const std::string& manufacturer, const std::string& name, const std::string& serial) {
        fs::path device = sys / "devices/pci0000:00/0000:00:14.0" / path;
        fs::create_directories(device);
        Write(device / "idVendor", vendor);
        Write(device / "idProduct", product);
        if (!manufacturer.empty()) Write(device / "manufacturer", manufacturer);
        Write(device / "product", name);
        if (!serial.empty()) Write(device / "serial", serial);
        return device;
    }

    fs::path Device(const fs::path& device, const std::string& bus, const std::string& driver,
                    const std::string& module) {
        fs::path drivers = sys / "bus" / bus / "drivers" / driver;
        fs::create_directories(drivers);
        fs::create_directories(sys / "module" / module);
        if (!fs::exists(drivers / "module")) fs::create_directory_symlink(sys / "module" / module, drivers / "module");
        fs::create_directories(device);
        fs::create_directory_symlink(drivers, device / "driver");
        fs::create_directory_symlink(sys / "bus" / bus, device / "subsystem");
        return device;
    }

    void Tty(const std::string& name, const fs::path& device, const std::string& type = "") {
        fs::create_directories(tree.sysClassTty / name);
        fs::create_directory_symlink(device, tree.sysClassTty / name / "device");
        if (!type.empty()) Write(tree.sysClassTty / name / "type", type);
        std::ofstream(tree.dev / name);
    }

    std::string Dev(const std::string& name) { return (tree.dev / name).string(); }

    TempDir dir;
    fs::path sys;
    DeviceTree tree;
};

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
