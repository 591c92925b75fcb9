// Finding serial ports on Linux, in a /dev and /sys/class/tty of our own
// whose USB adapter is the virtual reader's pty.
#include <gtest/gtest.h>

#include <fstream>

#include "link/device_tree.h"
#include "processes.h"

namespace fs = std::filesystem;

namespace {

class DeviceTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Started());
        root = fs::path(::testing::TempDir()) / ("kavrin-devices-" + std::to_string(getpid()));
        fs::remove_all(root);
        tree = {root / "dev", root / "sys/class/tty"};
        fs::create_directories(tree.dev / "serial/by-id");
        // Hardware ttys have a device behind them; a virtual console has none.
        for (const char* name : {"ttyS0", "ttyS10", "ttyS2", "ttyUSB0"}) {
            fs::create_directories(tree.sysClassTty / name / "device");
            if (std::string(name) != "ttyUSB0") std::ofstream(tree.dev / name);
        }
        fs::create_directories(tree.sysClassTty / "tty1");
        std::ofstream(tree.dev / "tty1");
        std::ofstream(tree.dev / "ttyACM3");
        fs::create_symlink(sim.Port(), tree.dev / "ttyUSB0");
        fs::create_symlink("../../ttyUSB0", tree.dev / "serial/by-id" / kById);
    }

    void TearDown() override { fs::remove_all(root); }

    std::string Dev(const std::string& name) { return (tree.dev / name).string(); }

    static constexpr const char* kById = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    SimProcess sim;
    fs::path root;
    DeviceTree tree;
};

TEST_F(DeviceTreeTest, ListsHardwareTtysInNaturalOrderWithTheirByIdNames) {
    std::vector<SerialPortName> ports = ListSerialDevices(tree);
    ASSERT_EQ(ports.size(), 4u);
    EXPECT_EQ(ports[0].device, Dev("ttyS0"));
    EXPECT_EQ(ports[1].device, Dev("ttyS2"));
    EXPECT_EQ(ports[2].device, Dev("ttyS10"));
    EXPECT_EQ(ports[3].device, Dev("ttyUSB0"));
    EXPECT_EQ(ports[3].byId, Dev(std::string("serial/by-id/") + kById));
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(ports[i].byId, "") << ports[i].device;
}

TEST_F(DeviceTreeTest, AdaptersAreTheUsbTtysByTheirByIdNamesWhereTheyHaveThem) {
    EXPECT_EQ(ListUsbAdapters(tree), std::vector<std::string>{Dev(std::string("serial/by-id/") + kById)});

    // A node sysfs does not know is no adapter, whatever its name.
    fs::remove(tree.dev / "serial/by-id" / kById);
    EXPECT_EQ(ListUsbAdapters(tree), (std::vector<std::string>{Dev("ttyUSB0")}));

    fs::remove_all(tree.dev / "serial");
    EXPECT_EQ(ListUsbAdapters(tree), (std::vector<std::string>{Dev("ttyUSB0")}));
}

TEST_F(DeviceTreeTest, AWindowOffersByIdNamesThenAdapterNodesThenTheOtherPorts) {
    fs::create_directories(tree.sysClassTty / "ttyACM1" / "device");
    std::ofstream(tree.dev / "ttyACM1");
    std::vector<SerialPortName> ports = ListOfferedPorts(tree);
    ASSERT_EQ(ports.size(), 5u);
    EXPECT_EQ(ports[0].byId, Dev(std::string("serial/by-id/") + kById));
    EXPECT_EQ(ports[0].device, Dev("ttyUSB0"));
    EXPECT_EQ(ports[1].device, Dev("ttyACM1"));
    EXPECT_EQ(ports[1].byId, "");
    EXPECT_EQ(ports[2].device, Dev("ttyS0"));
    EXPECT_EQ(ports[3].device, Dev("ttyS2"));
    EXPECT_EQ(ports[4].device, Dev("ttyS10"));
}

TEST_F(DeviceTreeTest, LatencyTimerIsReadForTheTtyAByIdNameLeadsTo) {
    std::ofstream(tree.dev / "ttyUSB1");
    std::ofstream(tree.sysClassTty / "ttyS0/device/latency_timer") << "1\n";
    fs::create_directories(tree.sysClassTty / "ttyUSB1/device");
    std::ofstream(tree.sysClassTty / "ttyUSB1/device/latency_timer") << "16\n";
    fs::path link = tree.dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_B1-if00-port0";
    fs::create_symlink("../../ttyUSB1", link);

    EXPECT_EQ(ReadLatencyTimer(tree, link.string()), 16);
    EXPECT_EQ(ReadLatencyTimer(tree, Dev("ttyS0")), 1);
    EXPECT_EQ(ReadLatencyTimer(tree, Dev("ttyS2")), std::nullopt);
    EXPECT_EQ(ReadLatencyTimer(tree, Dev("ttyUSB7")), std::nullopt);
}

TEST_F(DeviceTreeTest, NothingIsFoundWhereThereIsNoTree) {
    DeviceTree empty{root / "none/dev", root / "none/sys"};
    EXPECT_TRUE(ListSerialDevices(empty).empty());
    EXPECT_TRUE(ListUsbAdapters(empty).empty());
}

}  // namespace
