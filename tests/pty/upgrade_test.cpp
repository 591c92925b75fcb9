// Opening a firmware image and sending it to the virtual reader, with image files on disk.
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

// The image bytes before each block the reader took, for an image of `size` bytes.
std::vector<std::pair<long long, long long>> Progress(size_t size) {
    std::vector<std::pair<long long, long long>> steps;
    for (size_t i = 0; i <= size / 128; ++i) steps.emplace_back(static_cast<long long>(i * 128), static_cast<long long>(size));
    return steps;
}

class UpgradeTest : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        savedSleep_ = SystemClock().sleep;
        SystemClock().sleep = [this](unsigned ms) {
            waits.push_back(ms);
            commandsBeforeWait = reader.Snapshot().firmware.commandOrder;
        };
    }

    void TearDown() override {
        SystemClock().sleep = savedSleep_;
        ReaderTest::TearDown();
    }

    // Writes `bytes` to `name` in the test's folder; gives its UTF-8 path.
    std::string WriteImage(const std::string& name, const Bytes& bytes) const {
        const std::filesystem::path path = dir.path() / std::u8string(name.begin(), name.end());
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
        const std::u8string utf8 = path.u8string();
        return std::string(utf8.begin(), utf8.end());
    }

    // Connected, with `bytes` written to `name` and opened as the image.
    std::string ConnectWithImage(const Bytes& bytes, const std::string& name = "firmware.bin") {
        Connect();
        const std::string path = WriteImage(name, bytes);
        OpenedImage opened = OpenFirmwareImage(ui, path);
        EXPECT_EQ(opened.outcome, Outcome::Ok);
        image = std::move(opened.image);
        return path;
    }

    UpgradeResult Upgrade() { return UpgradeFirmware(ui, port, image, true); }

    // The command codes the reader has accepted since the last ClearReceived.
    Bytes Commands() const {
        Bytes codes;
        for (const std::vector<uint8_t>& frame : reader.Snapshot().received) codes.push_back(frame[3]);
        return codes;
    }

    TempDir dir;
    FirmwareFile image;
    std::vector<unsigned> waits;
    Bytes commandsBeforeWait;

private:
    std::function<void(unsigned)> savedSleep_;
};

TEST_F(UpgradeTest, ImageOf8000BytesGoesAs63BlocksAndTheReaderHoldsExactlyIt) {
    const Bytes bytes = Image(8000);
    ConnectWithImage(bytes);
    EXPECT_TRUE(ConfirmUpgrade(ui));
    EXPECT_EQ(ui.messages, (Log{"Are you sure download the file?"}));
    const UpgradeResult result = Upgrade();
    EXPECT_EQ(result.outcome, Outcome::Ok);
    EXPECT_TRUE(result.started);

    EXPECT_EQ(ui.log, kFinished);
    EXPECT_EQ(Commands(), Sequence(63));
    const ReaderSnapshot after = reader.Snapshot();
    EXPECT_EQ(after.received[0], (Bytes{0x0A, 0xFF, 0x06, 0x34, 0xC3, 0x3C, 0x62, 0x19, 0x43}));
    EXPECT_EQ(after.received[1], (Bytes{0x0A, 0xFF, 0x06, 0x31, 0x00, 0x00, 0x1F, 0x40, 0x61}));
    EXPECT_EQ(waits, (std::vector<unsigned>{200}));
    EXPECT_EQ(commandsBeforeWait, (Bytes{CMD_ERASE})) << "the wait lies between erase and start";
    EXPECT_TRUE(after.firmware.finished);
    EXPECT_EQ(after.firmware.length, 8000u);
    EXPECT_EQ(after.firmware.received, Padded(bytes, 8000, 63 * 128));
    EXPECT_EQ(ui.imageProgress, Progress(8000));

    // The finished upgrade closed the image: a second one has nothing to send.
    reader.ClearReceived();
    ui.log.clear();
    EXPECT_FALSE(image.IsOpen());
    EXPECT_EQ(Upgrade().outcome, Outcome::FileFailed);
    EXPECT_EQ(ui.log, (Log{"File error!"}));
    EXPECT_TRUE(Commands().empty());
}

TEST_F(UpgradeTest, WholeBlocksEndWithABlockOfFillerEvenFromANonAsciiPath) {
    const Bytes bytes = Image(8192);
    ConnectWithImage(bytes, "Прошивка ü 固件 🐄.bin");
    Upgrade();

    EXPECT_EQ(ui.log, kFinished);
    EXPECT_EQ(Commands(), Sequence(65));
    EXPECT_EQ(reader.Snapshot().firmware.received, Padded(bytes, 8192, 65 * 128));
    EXPECT_EQ(ui.imageProgress, Progress(8192));
    EXPECT_EQ(ui.imageProgress.back().first, 8192) << "the last block lies wholly past the image";
}

TEST_F(UpgradeTest, ADeclinedUpgradeSendsNothingAndKeepsTheImage) {
    ConnectWithImage(Image(8000));
    ui.answers = {false};
    EXPECT_FALSE(ConfirmUpgrade(ui));
    const UpgradeResult result = UpgradeFirmware(ui, port, image, false);
    EXPECT_EQ(result.outcome, Outcome::Declined);
    EXPECT_FALSE(result.started);
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(Commands().empty());
    EXPECT_TRUE(image.IsOpen());
}

TEST_F(UpgradeTest, NoImageOpenOrOneOfTheWrongSizeSendsNothing) {
    Connect();
    EXPECT_EQ(Upgrade().outcome, Outcome::FileFailed);
    EXPECT_EQ(ui.log, (Log{"File error!"})) << "nothing opened yet";

    struct Case {
        const char* name;
        uint64_t size;
    };
    const Case cases[] = {
        {"7999 bytes", 7999},
        {"4 GiB", uint64_t{1} << 32},
        {"4 GiB + 8000: its low 32 bits alone would pass", (uint64_t{1} << 32) + 8000},
        {"not opened: the file is missing", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = c.size ? WriteImage("image.bin", {}) : (dir.path() / "missing.bin").string();
        if (c.size) std::filesystem::resize_file(std::filesystem::path(path), c.size);  // sparse: takes no space
        ui.messages.clear();
        ui.log.clear();
        OpenedImage opened = OpenFirmwareImage(ui, path);
        EXPECT_EQ(opened.outcome, c.size ? Outcome::Ok : Outcome::FileFailed);
        EXPECT_EQ(opened.image.IsOpen(), c.size != 0);
        EXPECT_EQ(ui.messages, c.size ? Log{} : Log{"can not open file!"});
        const UpgradeResult result = UpgradeFirmware(ui, port, opened.image, true);
        EXPECT_EQ(result.outcome, Outcome::FileFailed);
        EXPECT_FALSE(result.started);
        EXPECT_EQ(ui.log, (Log{"File error!"}));
        EXPECT_TRUE(Commands().empty());
    }
}

// Shrinks the image file on disk once the first block is acknowledged.
class ShrinkingFeedback : public TestFeedback {
public:
    void ShowProgress(Work work, long long done, long long total) override {
        if (imageProgress.empty()) std::filesystem::resize_file(std::filesystem::path(file), 3000);
        TestFeedback::ShowProgress(work, done, total);
    }
    std::string file;
};

TEST_F(UpgradeTest, ImageThatShrinksWhileSentIsPaddedWithFiller) {
    const Bytes bytes = Image(8000);
    ShrinkingFeedback shrinking;
    shrinking.file = ConnectWithImage(bytes);
    EXPECT_EQ(UpgradeFirmware(shrinking, port, image, true).outcome, Outcome::Ok);
    EXPECT_EQ(shrinking.log.back(), "Upgrade Finished");
    EXPECT_EQ(reader.Snapshot().firmware.received, Padded(bytes, 3000, 63 * 128));
}

// An end answer without a status byte accepts nothing: the image stays open,
// and the next upgrade starts again from the erase.
TEST_F(UpgradeTest, EndAnsweredWithoutAStatusByteFailsAndTheNextOneStartsOver) {
    const Bytes bytes = Image(8000);
    ConnectWithImage(bytes);
    reader.AddFault({CMD_UPGRADE_END, FaultKind::Empty, 0, 0, 1});
    const UpgradeResult failed = Upgrade();
    EXPECT_EQ(failed.outcome, Outcome::TransactionFailed);
    EXPECT_TRUE(failed.started);
    EXPECT_EQ(ui.log, (Log{"Please wait.......", "Upgrade Failed2!"}));
    EXPECT_EQ(Commands(), Sequence(63));
    EXPECT_EQ(ui.imageProgress.size(), 63u);
    EXPECT_TRUE(image.IsOpen());

    reader.ClearReceived();
    ui.log.clear();
    EXPECT_EQ(Upgrade().outcome, Outcome::Ok);
    EXPECT_EQ(ui.log, kFinished);
    EXPECT_EQ(Commands(), Sequence(63));
    EXPECT_EQ(reader.Snapshot().firmware.received, Padded(bytes, 8000, 63 * 128));
}

TEST_F(UpgradeTest, ImageOf4MiBArrivesWhole) {
    constexpr size_t kSize = 4 << 20;
    constexpr size_t kBlocks = kSize / 128 + 1;  // the last one all filler
    const Bytes bytes = Image(kSize);
    ConnectWithImage(bytes);
    EXPECT_EQ(Upgrade().outcome, Outcome::Ok);

    EXPECT_EQ(ui.log, kFinished);
    const ReaderSnapshot after = reader.Snapshot();
    EXPECT_TRUE(after.firmware.finished);
    EXPECT_EQ(after.firmware.length, kSize);
    EXPECT_EQ(after.firmware.blocks, static_cast<int>(kBlocks));
    EXPECT_TRUE(after.firmware.received == Padded(bytes, kSize, kBlocks * 128)) << "the reader holds exactly the image";
    EXPECT_EQ(ui.imageProgress, Progress(kSize));
}

}  // namespace
