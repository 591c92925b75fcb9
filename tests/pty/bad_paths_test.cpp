// Ports, firmware images and working folders that are not what they should
// be: each operation says so in its own words, and never claims success.
#include <gtest/gtest.h>

#include <unistd.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "ops/export.h"
#include "ops/export_folder.h"
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
std::string ConnectReport(TestFeedback& ui, const std::string& name) {
    PortHandle port = nullptr;
    const ConnectResult result = ConnectReader(ui, name, port);
    const std::string report = Shown(ui) + (result.connected ? "connected" : "disconnected") + (port ? ", port held" : ", no port");
    ClosePort(port);
    return report;
}

const std::string kOpenFailed = "log: CommPort open failed!\ndisconnected, no port";

class BadPathTest : public ReaderTest {
protected:
    TempDir dir;
};

TEST_F(BadPathTest, PortThatIsNoSerialDeviceFailsToOpen) {
    std::ofstream(dir.path() / "plain") << "not a device";
    const std::string ports[] = {(dir.path() / "plain").string(), dir.path().string(), "/dev/null",
                                 (dir.path() / "missing").string()};
    for (const std::string& port : ports) {
        TestFeedback fresh;
        EXPECT_EQ(ConnectReport(fresh, port), kOpenFailed) << port;
    }
    EXPECT_TRUE(reader.Snapshot().received.empty());
}

TEST_F(BadPathTest, PortWithoutPermissionFailsToOpenForAnOrdinaryUser) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become an ordinary user";
    ASSERT_EQ(chmod(reader.PortPath().c_str(), 0600), 0);
    const std::optional<std::string> report = ReportFromChild([&] { return ConnectReport(ui, reader.PortPath()); }, true);
    ASSERT_TRUE(report);
    EXPECT_EQ(*report, kOpenFailed);
    EXPECT_TRUE(reader.Snapshot().received.empty());
}

// Opening something that is no readable file as the image, then sending it.
std::string OpenAndUpgrade(TestFeedback& ui, PortHandle port, const std::filesystem::path& path) {
    OpenedImage opened = OpenFirmwareImage(ui, path.string());
    const UpgradeResult result = UpgradeFirmware(ui, port, opened.image, true);
    return Shown(ui) + (opened.image.IsOpen() ? "image open" : "no image") +
           (result.outcome == Outcome::FileFailed ? ", file failed" : ", other outcome");
}

const std::string kNoImage = "log: File error!\nmessage: can not open file!\nno image, file failed";

TEST_F(BadPathTest, FirmwareThatIsAFolderIsRefusedAndNothingIsSent) {
    Connect();
    std::filesystem::create_directory(dir.path() / "image.bin");
    EXPECT_EQ(OpenAndUpgrade(ui, port, dir.path() / "image.bin"), kNoImage);
    EXPECT_TRUE(reader.Snapshot().received.empty());
}

TEST_F(BadPathTest, FirmwareWithoutReadPermissionIsRefusedAndNothingIsSent) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to become an ordinary user";
    Connect();
    const std::filesystem::path image = dir.path() / "image.bin";
    std::ofstream(image, std::ios::binary) << std::string(8000, '\x5A');
    ASSERT_EQ(chmod(image.c_str(), 0200), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const std::optional<std::string> report = ReportFromChild([&] { return OpenAndUpgrade(ui, port, image); }, true);
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
    // As Get Data takes the folder: a working folder that is gone gives an empty path.
    std::error_code error;
    const ExportResult result = ExportCsv(ui, port, ExportFolder(std::filesystem::current_path(error)));
    std::filesystem::current_path(before);

    EXPECT_EQ(result.outcome, Outcome::FileFailed);
    EXPECT_TRUE(result.file.empty());
    EXPECT_EQ(Shown(ui), "message: can not create file!\n");
    ASSERT_EQ(reader.Snapshot().received.size(), 1u) << "only the count was asked for";
    EXPECT_EQ(reader.Snapshot().received[0][3], CMD_GET_RECORD_COUNT);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
