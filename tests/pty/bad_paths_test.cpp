// Ports, firmware images and working folders that are not what they should
// be: each operation says so in its own words, and never claims success.
#include <gtest/gtest.h>

#include <unistd.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "ops/export.h"
#include "ops/upgrade.h"
#include "pty/child_process.h"
#include "pty/reader_fixture.h"
#include "unit/temp_dir.h"

namespace {

using Log = std::vector<std::string>;

// The log and the messages of a press, for reports from a child process.
std::string Shown(const TestFeedback& ui) {
    std::string text;
    for (const std::string& line : ui.log) text += "log: " + line + "\n";
    for (const std::string& message : ui.messages) text += "message: " + message + "\n";
    return text;
}

// Connect's whole report, and the state it leaves, as one text.
std::string ConnectReport(TestFeedback& ui) {
    OnBnClickedConnect(ui);
    return Shown(ui) + (g_bConnected ? "connected" : "disconnected") + (g_hComm ? ", port held" : ", no port");
}

const std::string kOpenFailed = "log: CommPort open failed!\ndisconnected, no port";

class BadPathTest : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        ui.m_nPowerDownMin = 10;  // as the window starts
    }

    TempDir dir;
};

TEST_F(BadPathTest, PortThatIsNoSerialDeviceFailsToOpen) {
    std::ofstream(dir.path() / "plain") << "not a device";
    const std::string ports[] = {(dir.path() / "plain").string(), dir.path().string(), "/dev/null",
                                 (dir.path() / "missing").string()};
    for (const std::string& port : ports) {
        TestFeedback fresh;
        fresh.port = port;
        EXPECT_EQ(ConnectReport(fresh), kOpenFailed) << port;
        EXPECT_EQ(fresh.connectCaption, "Connect") << port;
        EXPECT_FALSE(fresh.upgradeEnabled) << port;
    }
    EXPECT_TRUE(reader.Snapshot().received.empty());
}

TEST_F(BadPathTest, PortWithoutPermissionFailsToOpenForAnOrdinaryUser) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become an ordinary user";
    ASSERT_EQ(chmod(reader.PortPath().c_str(), 0600), 0);
    const std::optional<std::string> report = ReportFromChild([&] { return ConnectReport(ui); }, true);
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, kOpenFailed);
    EXPECT_TRUE(reader.Snapshot().received.empty());
}

// "Browse" on something that is no readable file, then "Upgrade".
std::string BrowseAndUpgrade(TestFeedback& ui, const std::filesystem::path& image) {
    ui.chosenFile = image.string();
    OnBnClickedBrowse(ui);
    OnBnClickedUpgrade(ui);
    return Shown(ui) + (g_firmwareFile.IsOpen() ? "image open" : "no image");
}

const std::string kNoImage =
    "log: File error!\nmessage: can not open file!\nmessage: Are you sure download the file?\nno image";

TEST_F(BadPathTest, FirmwareThatIsAFolderIsRefusedAndNothingIsSent) {
    Connect();
    std::filesystem::create_directory(dir.path() / "image.bin");
    EXPECT_EQ(BrowseAndUpgrade(ui, dir.path() / "image.bin"), kNoImage);
    EXPECT_TRUE(reader.Snapshot().received.empty());
    EXPECT_TRUE(g_bConnected);
}

TEST_F(BadPathTest, FirmwareWithoutReadPermissionIsRefusedAndNothingIsSent) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become an ordinary user";
    Connect();
    const std::filesystem::path image = dir.path() / "image.bin";
    std::ofstream(image, std::ios::binary) << std::string(8000, '\x5A');
    ASSERT_EQ(chmod(image.c_str(), 0200), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const std::optional<std::string> report = ReportFromChild([&] { return BrowseAndUpgrade(ui, image); }, true);
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, kNoImage);
    EXPECT_TRUE(reader.Snapshot().received.empty()) << "the child used the same connection";
}

TEST_F(BadPathTest, WorkingFolderThatVanishedBeforeTheExportIsReported) {
    reader.SetRecords(GenerateRecords(25));
    Connect();
    const std::filesystem::path before = std::filesystem::current_path();
    const std::filesystem::path gone = dir.path() / "gone";
    std::filesystem::create_directory(gone);
    std::filesystem::current_path(gone);
    std::filesystem::remove(gone);
    OnBnClickedGetData(ui);
    std::filesystem::current_path(before);

    EXPECT_EQ(Shown(ui), "message: can not create file!\n");
    ASSERT_EQ(reader.Snapshot().received.size(), 1u) << "only the count was asked for";
    EXPECT_EQ(reader.Snapshot().received[0][3], CMD_GET_RECORD_COUNT);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
