// Why a reader cannot be reached, on a machine of our own: the sysfs tree
// of fake_sysfs.h with a CH340 adapter whose driver took nothing, the
// running kernel's module lists, udev's rule folders, /proc, a group file
// and udev's answers. One case per cause.
#include <gtest/gtest.h>

#include <unistd.h>

#include "doctor/linux_checks.h"
#include "fake_sysfs.h"

namespace {

const char* const kCh340Alias = "usb:v1A86p7523d0264dcFFdsc00dp00icFFisc01ip00in00";

class ReachChecks : public SysfsTree {
protected:
    void SetUp() override {
        SysfsTree::SetUp();
        fs::path ch340 = Usb("usb1/1-4", "1a86", "7523", "", "USB Serial", "");
        fs::create_directories(ch340 / "1-4:1.0");
        Write(ch340 / "1-4:1.0/modalias", kCh340Alias);

        host.tree = tree;
        host.sys = sys;
        host.proc = dir.path() / "proc";
        host.modules = dir.path() / "lib/modules/6.1.0-test";
        host.ruleFolders = {dir.path() / "etc/udev/rules.d", dir.path() / "lib/udev/rules.d"};
        host.programFolders = {dir.path() / "usr/bin"};
        host.groupFile = dir.path() / "etc/group";
        for (const fs::path& folder : {host.proc, host.modules / "kernel/drivers/usb/serial", host.ruleFolders[0],
                                       host.ruleFolders[1], host.programFolders[0]})
            fs::create_directories(folder);
        Write(host.modules / "modules.dep",
              "kernel/drivers/usb/serial/ch341.ko.xz: kernel/drivers/usb/serial/usbserial.ko.xz\n"
              "kernel/drivers/usb/serial/usbserial.ko.xz:\n"
              "kernel/drivers/hid/usbhid/usbhid.ko.xz:");
        Write(host.modules / "modules.alias",
              "alias usb:v*p*d*dc*dsc*dp*ic03isc*ip*in* usbhid\n"
              "alias usb:v1A86p7523d*dc*dsc*dp*ic*isc*ip*in* ch341");
        Write(host.modules / "modules.builtin", "kernel/drivers/tty/serial/8250/8250.ko");
        Write(host.modules / "kernel/drivers/usb/serial/ch341.ko.xz", "");

        // The file's own group stands for dialout, whoever runs the test;
        // root's own group is no group to join.
        if (geteuid() == 0) {
            ASSERT_EQ(chown(Dev("ttyUSB0").c_str(), 0, 20), 0);
        }
        struct stat node {};
        ASSERT_EQ(stat(Dev("ttyUSB0").c_str(), &node), 0);
        dialout = node.st_gid;
        Write(host.groupFile, "users:x:100:\ndialout:x:" + std::to_string(dialout) + ":root,bob");
        fs::permissions(Dev("ttyUSB0"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                             fs::perms::group_write);
        host.identity = {node.st_uid + 1, {100}, "alice", 100};
        host.udev = [this](const std::string&) { return udev; };
    }

    void Run(int pid, const std::string& name) {
        fs::create_directories(host.proc / std::to_string(pid) / "fd");
        Write(host.proc / std::to_string(pid) / "comm", name);
    }

    std::vector<std::string> Lines(const std::vector<Finding>& findings) {
        std::vector<std::string> lines;
        for (const Finding& finding : findings) lines.push_back(FindingLine(finding));
        return lines;
    }

    Host host;
    gid_t dialout = 0;
    UdevFacts udev{true, true, false};
};

TEST_F(ReachChecks, ListsEachPortAsPortsLongDoes) {
    std::vector<Finding> ports = PortsPresent(host);
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[2].text, Dev("ttyUSB0") + "  " + Dev(std::string("serial/by-id/") + kById) +
                                 "  0403:6001  FTDI  FT232R USB UART  serial A50285BI  driver ftdi_sio");
    EXPECT_FALSE(ports[2].Problem());

    fs::remove_all(tree.sysClassTty);
    ports = PortsPresent(host);
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(FindingLine(ports[0]), "no serial port found: plug in the reader's cable or adapter");
}

TEST_F(ReachChecks, AdapterWithoutPortNamesTheDriverToLoad) {
    EXPECT_EQ(Lines(PortlessUsbDevices(host)),
              std::vector<std::string>{
                  "1a86:7523 USB Serial has no serial port: its driver ch341 is not loaded: sudo modprobe ch341"});
}

TEST_F(ReachChecks, AdapterWithoutPortWhoseDriverIsLoadedOrMissing) {
    fs::create_directories(sys / "module/ch341");
    std::vector<Finding> loaded = PortlessUsbDevices(host);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].text, "1a86:7523 USB Serial has no serial port although its driver ch341 is loaded");

    fs::remove(sys / "module/ch341");
    fs::remove(host.modules / "kernel/drivers/usb/serial/ch341.ko.xz");
    std::vector<Finding> missing = PortlessUsbDevices(host);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].text, "1a86:7523 USB Serial has no serial port: its driver ch341 is not installed");
}

TEST_F(ReachChecks, BrlttyRuleClaimsTheAdapterWhereBrlttyIsThere) {
    Write(host.ruleFolders[1] / "85-brltty.rules",
          "# Device: 1A86:7523\n"
          "ENV{PRODUCT}==\"1a86/7523/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"bm\", GOTO=\"brltty_usb_run\"\n"
          "ENV{PRODUCT}==\"403/6001/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"fs\", GOTO=\"brltty_usb_run\"");
    EXPECT_TRUE(BrailleClaims(host).empty()) << "brltty neither installed nor running";

    Write(host.programFolders[0] / "brltty", "");
    std::vector<Finding> claims = BrailleClaims(host);
    ASSERT_EQ(claims.size(), 2u);
    EXPECT_EQ(FindingLine(claims[1]),
              "1a86:7523 USB Serial is claimed by brltty's udev rule " + (host.ruleFolders[1] / "85-brltty.rules").string() +
                  " (brltty is installed): without a braille display: sudo apt remove brltty; with one: sudo ln -s "
                  "/dev/null /etc/udev/rules.d/85-brltty.rules; then plug the adapter in again");
    EXPECT_EQ(claims[0].text.substr(0, 25), "0403:6001 FT232R USB UART");

    fs::remove(host.programFolders[0] / "brltty");
    Run(812, "brltty");
    EXPECT_EQ(BrailleClaims(host).size(), 2u) << "running";

    fs::create_symlink("/dev/null", host.ruleFolders[0] / "85-brltty.rules");
    EXPECT_TRUE(BrailleClaims(host).empty()) << "the rule masked in /etc";
}

TEST_F(ReachChecks, ModemManagerProbesAcmPortsUdevDidNotMark) {
    EXPECT_FALSE(ModemManagerProbe(host, Dev("ttyACM0"))) << "not running";
    Run(655, "ModemManager");
    std::optional<Finding> probe = ModemManagerProbe(host, Dev("ttyACM0"));
    ASSERT_TRUE(probe);
    EXPECT_EQ(FindingLine(*probe), "ModemManager runs and may take " + Dev("ttyACM0") +
                                       " for a modem, holding it while it probes: mark the adapter "
                                       "ID_MM_DEVICE_IGNORE with a udev rule: see "
                                       "/usr/share/doc/kavrin/examples/99-kavrin-usb-serial.rules");
    EXPECT_FALSE(ModemManagerProbe(host, Dev("ttyUSB0"))) << "it leaves FTDI ports alone";
    udev.modemManagerIgnores = true;
    EXPECT_FALSE(ModemManagerProbe(host, Dev("ttyACM0")));
}

TEST_F(ReachChecks, UserNotInTheGroupIsToldToJoinIt) {
    std::optional<Finding> access = NodeAccess(host, Dev("ttyUSB0"));
    ASSERT_TRUE(access);
    EXPECT_TRUE(access->Problem());
    EXPECT_NE(access->text.find(" (-rw-rw---- "), std::string::npos) << access->text;
    EXPECT_TRUE(access->text.ends_with("alice is not in group dialout")) << access->text;
    EXPECT_EQ(access->remedy, "sudo usermod -aG dialout alice, then log out and in again");
}

TEST_F(ReachChecks, UserAddedToTheGroupAfterLoggingInMustLogInAgain) {
    Write(host.groupFile, "dialout:x:" + std::to_string(dialout) + ":bob,alice");
    std::optional<Finding> access = NodeAccess(host, Dev("ttyUSB0"));
    ASSERT_TRUE(access);
    EXPECT_TRUE(access->text.ends_with("alice joined group dialout after this login began")) << access->text;
    EXPECT_EQ(access->remedy, "log out and in again");

    host.identity.processGroups.push_back(dialout);
    access = NodeAccess(host, Dev("ttyUSB0"));
    ASSERT_TRUE(access);
    EXPECT_FALSE(access->Problem());
    EXPECT_TRUE(access->text.ends_with("this user may open it")) << access->text;
}

TEST_F(ReachChecks, NodeOfRootAloneRightAfterPlugInWaitsForUdev) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give the node to root";
    ASSERT_EQ(chown(Dev("ttyUSB0").c_str(), 0, 0), 0);
    udev.initialized = false;
    std::optional<Finding> access = NodeAccess(host, Dev("ttyUSB0"));
    ASSERT_TRUE(access);
    EXPECT_TRUE(access->text.ends_with("still belongs to root: udev has not yet set it up")) << access->text;

    udev.initialized = true;
    access = NodeAccess(host, Dev("ttyUSB0"));
    ASSERT_TRUE(access);
    EXPECT_TRUE(access->text.ends_with("only its owner may open it")) << access->text;
}

TEST_F(ReachChecks, PortHolderIsNamedWithItsPid) {
    Run(4242, "minicom");
    Run(4300, "bash");
    fs::create_symlink(Dev("ttyUSB0"), host.proc / "4242/fd/3");
    fs::create_symlink(Dev("ttyACM0"), host.proc / "4300/fd/0");
    std::optional<Finding> holder = PortHolder(host, Dev(std::string("serial/by-id/") + kById), true);
    ASSERT_TRUE(holder);
    EXPECT_EQ(FindingLine(*holder), Dev(std::string("serial/by-id/") + kById) +
                                        " is held by minicom (pid 4242): quit minicom, or end it: kill 4242");
    EXPECT_FALSE(PortHolder(host, Dev("ttyS0"), true));
}

TEST_F(ReachChecks, PortHeldWhereTheHolderCannotBeReadPointsToLsof) {
    // A process whose descriptors cannot be read: another user's.
    fs::create_directories(host.proc / "977");
    Write(host.proc / "977/fd", "");
    EXPECT_FALSE(PortHolder(host, Dev("ttyUSB0"), false)) << "nothing says the port is held";
    std::optional<Finding> holder = PortHolder(host, Dev("ttyUSB0"), true);
    ASSERT_TRUE(holder);
    EXPECT_EQ(FindingLine(*holder),
              Dev("ttyUSB0") + " is held by a program of another user: sudo lsof " + Dev("ttyUSB0") + " names it");
}

TEST_F(ReachChecks, FtdiLatencyTimerAboveOneMillisecondHasARemedy) {
    std::optional<Finding> latency = LatencyTimer(host, Dev("ttyUSB0"));
    ASSERT_TRUE(latency);
    EXPECT_EQ(latency->text, Dev("ttyUSB0") + ": latency timer 16 ms, which every answer of the reader waits out");
    EXPECT_TRUE(latency->Problem());
    EXPECT_FALSE(LatencyTimer(host, Dev("ttyACM0")));
}

}  // namespace
