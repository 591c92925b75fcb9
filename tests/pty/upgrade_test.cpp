// "Browse" and "Upgrade" against the virtual reader, with image files on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "ops/clock.h"
#include "ops/upgrade.h"
#include "pty/reader_fixture.h"
#include "unit/temp_dir.h"

namespace {

using Log = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

const Log kFinished = {"Please wait.......", "Upgrade Finished"};

Bytes Image(size_t size) {
    Bytes image(size);
    uint32_t x = 7;
    for (uint8_t& b : image) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 16);
    return image;
}

// The first `kept` bytes of `image`, then 0xFF up to `size`.
Bytes Padded(const Bytes& image, size_t kept, size_t size) {
    Bytes bytes(image.begin(), image.begin() + static_cast<long>(kept));
    bytes.resize(size, 0xFF);
    return bytes;
}

// Erase, start, `blocks` data blocks, end.
Bytes Sequence(size_t blocks) {
    Bytes commands = {CMD_ERASE, CMD_UPGRADE_START};
    commands.insert(commands.end(), blocks, CMD_UPGRADE_DATA);
    commands.push_back(CMD_UPGRADE_END);
    return commands;
}

class UpgradeTest : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        ui.m_nPowerDownMin = 10;  // as the window starts
        savedSleep_ = SystemClock().sleep;
        SystemClock().sleep = [this](unsigned ms) {
            waits.push_back(ms);
            commandsBeforeWait = reader.Snapshot().firmware.commandOrder;
        };
    }

    void TearDown() override {
        SystemClock().sleep = savedSleep_;
        g_firmwareFile.Close();
        ReaderTest::TearDown();
    }

    // Writes `bytes` to `name` in the test's folder; gives its UTF-8 path.
    std::string WriteImage(const std::string& name, const Bytes& bytes) const {
        const std::filesystem::path path = dir.path() / std::u8string(name.begin(), name.end());
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        const std::u8string utf8 = path.u8string();
        return std::string(utf8.begin(), utf8.end());
    }

    OpResult Browse(const std::string& path) {
        ui.chosenFile = path;
        return OnBnClickedBrowse(ui);
    }

    // Connected, with `image` opened through "Browse".
    std::string ConnectWithImage(const Bytes& image, const std::string& name = "firmware.bin") {
        Connect();
        const std::string path = WriteImage(name, image);
        Browse(path);
        return path;
    }

    // The command codes the reader has accepted since the last ClearReceived.
    Bytes Commands() const {
        Bytes codes;
        for (const std::vector<uint8_t>& frame : reader.Snapshot().received) codes.push_back(frame[3]);
        return codes;
    }

    void ExpectStillConnectedWithImageOpen() const {
        EXPECT_TRUE(g_bConnected);
        EXPECT_EQ(ui.connectCaption, "Discon");
        EXPECT_TRUE(g_firmwareFile.IsOpen());
    }

    TempDir dir;
    std::vector<unsigned> waits;
    Bytes commandsBeforeWait;

private:
    std::function<void(unsigned)> savedSleep_;
};

TEST_F(UpgradeTest, ImageOf8000BytesGoesAs63BlocksAndTheReaderHoldsExactlyIt) {
    const Bytes image = Image(8000);
    ConnectWithImage(image);
    EXPECT_EQ(OnBnClickedUpgrade(ui).outcome, Outcome::Ok);

    EXPECT_EQ(ui.messages, (Log{"Are you sure download the file?"}));
    EXPECT_EQ(ui.log, kFinished);
    EXPECT_EQ(Commands(), Sequence(63));
    const ReaderSnapshot after = reader.Snapshot();
    EXPECT_EQ(after.received[0], (Bytes{0x0A, 0xFF, 0x06, 0x34, 0xC3, 0x3C, 0x62, 0x19, 0x43}));
    EXPECT_EQ(after.received[1], (Bytes{0x0A, 0xFF, 0x06, 0x31, 0x00, 0x00, 0x1F, 0x40, 0x61}));
    EXPECT_EQ(waits, (std::vector<unsigned>{200}));
    EXPECT_EQ(commandsBeforeWait, (Bytes{CMD_ERASE})) << "the wait lies between erase and start";
    EXPECT_TRUE(after.firmware.finished);
    EXPECT_EQ(after.firmware.length, 8000u);
    EXPECT_EQ(after.firmware.received, Padded(image, 8000, 63 * 128));

    ASSERT_EQ(ui.progress.size(), 63u);
    EXPECT_EQ(std::vector<int>(ui.progress.begin(), ui.progress.begin() + 5), (std::vector<int>{0, 1, 3, 4, 6}));
    EXPECT_EQ(ui.progress.back(), 99);
    EXPECT_TRUE(std::is_sorted(ui.progress.begin(), ui.progress.end()));
    EXPECT_EQ(ui.pushes, 1);

    EXPECT_FALSE(g_bConnected);
    EXPECT_EQ(ui.connectCaption, "Connect");
    EXPECT_FALSE(ui.upgradeEnabled);
    // The finished upgrade closed the image: a second press has nothing to send.
    Connect();
    EXPECT_EQ(OnBnClickedUpgrade(ui).outcome, Outcome::FileFailed);
    EXPECT_EQ(ui.log, (Log{"File error!"}));
    EXPECT_TRUE(Commands().empty());
}

TEST_F(UpgradeTest, WholeBlocksEndWithABlockOfFillerEvenFromANonAsciiPathAndAFailedFieldCheck) {
    const std::string name = "Прошивка ü 固件 🐄.bin";
    const Bytes image = Image(8192);
    const std::string path = ConnectWithImage(image, name);
    EXPECT_EQ(g_strFirmwarePath, path);
    EXPECT_EQ(g_strFirmwareName, name);
    EXPECT_EQ(ui.firmwareFiles, (Log{path}));
    ui.windowPowerDown = 0;  // the field's own message; the upgrade goes on
    OnBnClickedUpgrade(ui);

    EXPECT_EQ(ui.log, kFinished);
    EXPECT_EQ(Commands(), Sequence(65));
    EXPECT_EQ(reader.Snapshot().firmware.received, Padded(image, 8192, 65 * 128));
    ASSERT_EQ(ui.progress.size(), 65u);
    EXPECT_EQ(ui.progress.back(), 100);
    EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(UpgradeTest, CancelInTheConfirmationOrInTheFileDialogChangesNothing) {
    const std::string path = ConnectWithImage(Image(8000));
    ui.chosenFile.reset();
    EXPECT_EQ(OnBnClickedBrowse(ui).outcome, Outcome::Declined);
    EXPECT_EQ(g_strFirmwarePath, path);
    EXPECT_EQ(ui.firmwareFiles.size(), 1u);

    ui.answers = {false};
    EXPECT_EQ(OnBnClickedUpgrade(ui).outcome, Outcome::Declined);
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(ui.pulls, 0);
    ExpectStillConnectedWithImageOpen();
}

TEST_F(UpgradeTest, NoImageOpenOrOneOfTheWrongSizeSendsNothing) {
    Connect();
    OnBnClickedUpgrade(ui);
    EXPECT_EQ(ui.log, (Log{"File error!"})) << "no Browse yet";

    struct Case {
        const char* name;
        uint64_t size;
    };
    const Case cases[] = {
        {"7999 bytes", 7999},
        {"4 GiB", uint64_t{1} << 32},
        {"4 GiB + 8000: its low 32 bits alone would pass", (uint64_t{1} << 32) + 8000},
        {"not opened: the last Browse failed", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.size ? WriteImage("image.bin", {}) : (dir.path() / "missing.bin").string();
        if (c.size) std::filesystem::resize_file(std::filesystem::path(path), c.size);  // sparse: takes no space
        ui.messages.clear();
        ui.log.clear();
        EXPECT_EQ(Browse(path).outcome, c.size ? Outcome::Ok : Outcome::FileFailed);
        EXPECT_EQ(ui.messages, c.size ? Log{} : Log{"can not open file!"});
        EXPECT_EQ(g_strFirmwarePath, path);
        EXPECT_EQ(OnBnClickedUpgrade(ui).outcome, Outcome::FileFailed);
        EXPECT_EQ(ui.log, (Log{"File error!"}));
        EXPECT_TRUE(Commands().empty());
        EXPECT_TRUE(g_bConnected);
    }
}

// Shrinks the image file on disk once the first block is acknowledged.
class ShrinkingFeedback : public TestFeedback {
public:
    void SetProgress(int position) override {
        if (progress.empty()) std::filesystem::resize_file(std::filesystem::path(*chosenFile), 3000);
        TestFeedback::SetProgress(position);
    }
};

TEST_F(UpgradeTest, ImageThatShrinksWhileSentIsPaddedWithFiller) {
    const Bytes image = Image(8000);
    ShrinkingFeedback shrinking;
    shrinking.port = ui.port;
    shrinking.m_nPowerDownMin = 10;
    shrinking.chosenFile = WriteImage("firmware.bin", image);
    OnBnClickedConnect(shrinking);
    OnBnClickedBrowse(shrinking);
    OnBnClickedUpgrade(shrinking);
    EXPECT_EQ(shrinking.log.back(), "Upgrade Finished");
    EXPECT_EQ(reader.Snapshot().firmware.received, Padded(image, 3000, 63 * 128));
}

// An end answer without a status byte accepts nothing: the image stays open,
// the link up, and the next press starts again from the erase.
TEST_F(UpgradeTest, EndAnsweredWithoutAStatusByteFailsAndTheNextPressStartsOver) {
    const Bytes image = Image(8000);
    ConnectWithImage(image);
    reader.AddFault({CMD_UPGRADE_END, FaultKind::Empty, 0, 0, 1});
    EXPECT_EQ(OnBnClickedUpgrade(ui).outcome, Outcome::TransactionFailed);
    EXPECT_EQ(ui.log, (Log{"Please wait.......", "Upgrade Failed2!"}));
    EXPECT_EQ(Commands(), Sequence(63));
    EXPECT_EQ(ui.progress.size(), 63u);
    ExpectStillConnectedWithImageOpen();

    reader.ClearReceived();
    ui.log.clear();
    EXPECT_EQ(OnBnClickedUpgrade(ui).outcome, Outcome::Ok);
    EXPECT_EQ(ui.log, kFinished);
    EXPECT_EQ(Commands(), Sequence(63));
    EXPECT_EQ(reader.Snapshot().firmware.received, Padded(image, 8000, 63 * 128));
}

TEST_F(UpgradeTest, ImageOf4MiBArrivesWhole) {
    constexpr size_t kSize = 4 << 20;
    constexpr size_t kBlocks = kSize / 128 + 1;  // the last one all filler
    const Bytes image = Image(kSize);
    ConnectWithImage(image);
    OnBnClickedUpgrade(ui);

    EXPECT_EQ(ui.log, kFinished);
    const ReaderSnapshot after = reader.Snapshot();
    EXPECT_TRUE(after.firmware.finished);
    EXPECT_EQ(after.firmware.length, kSize);
    EXPECT_EQ(after.firmware.blocks, static_cast<int>(kBlocks));
    EXPECT_TRUE(after.firmware.received == Padded(image, kSize, kBlocks * 128)) << "the reader holds exactly the image";
    ASSERT_EQ(ui.progress.size(), kBlocks);
    EXPECT_EQ(ui.progress.back(), 100);
    EXPECT_TRUE(std::is_sorted(ui.progress.begin(), ui.progress.end()));
}

}  // namespace
