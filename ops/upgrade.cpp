#include "ops/upgrade.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <span>

#include "ops/clock.h"
#include "ops/transaction.h"

namespace {

const char* const kCannotOpen = "can not open file!";
const char* const kConfirm = "Are you sure download the file?";
const char* const kFileError = "File error!";
const char* const kEraseFailed = "Earse Failed!";
const char* const kStartFailed = "Upgrade start failed!";
const char* const kPleaseWait = "Please wait.......";
const char* const kBlockFailed = "Upgrade Failed!";
const char* const kEndFailed = "Upgrade Failed2!";
const char* const kFinished = "Upgrade Finished";

constexpr uint32_t kMinimumImageLength = 8000;
// The reader needs a moment after the erase before it takes the start command.
constexpr unsigned kAfterEraseMs = 200;
// Flash reads back 0xFF where nothing was written, so that is what pads the
// last block: never bytes left over from an earlier block.
constexpr uint8_t kFiller = 0xFF;

// The image length, when an image is open and its length fits the start command.
std::optional<uint32_t> ImageLength(FirmwareFile& image) {
    std::optional<uint64_t> length = image.Length();
    if (!length || *length > std::numeric_limits<uint32_t>::max() || *length < kMinimumImageLength) return std::nullopt;
    return static_cast<uint32_t>(*length);
}

using Block = std::array<uint8_t, kFirmwareBlockSize>;

// Block `index` of an image of `length` bytes, padded with the filler past
// the end of the image or of what the file still holds.
Block ReadBlock(FirmwareFile& image, uint32_t index, uint32_t length) {
    Block block;
    const uint64_t offset = uint64_t{index} * kFirmwareBlockSize;
    size_t got = 0;
    if (offset < length)
        got = image.ReadAt(offset, block.data(), static_cast<size_t>(std::min<uint64_t>(kFirmwareBlockSize, length - offset)));
    std::fill(block.begin() + got, block.end(), kFiller);
    return block;
}

OpResult SendImage(Feedback& ui, PortHandle port, FirmwareFile& image, uint32_t length) {
    const uint32_t lastBlock = length / kFirmwareBlockSize;
    for (uint32_t i = 0; i <= lastBlock; ++i) {
        if (OpResult block = Accepted(port, CMD_UPGRADE_DATA, ReadBlock(image, i, length)); !block.Ok()) return block;
        // The bytes before block i: a window shows i x 12800 / length per cent.
        ui.ShowProgress(Feedback::Work::Image, static_cast<long long>(i) * kFirmwareBlockSize, length);
        // Only between blocks: a block cut in half would leave the reader guessing.
        if (ui.StopRequested()) return {Outcome::Stopped};
    }
    return {};
}

}  // namespace

OpenedImage OpenFirmwareImage(Feedback& ui, const std::string& path) {
    OpenedImage opened;
    if (opened.image.Open(path)) return opened;
    ui.ShowMessage(kCannotOpen, Feedback::Buttons::Ok);
    opened.outcome = Outcome::FileFailed;
    return opened;
}

bool ConfirmUpgrade(Feedback& ui) { return ui.ShowMessage(kConfirm, Feedback::Buttons::OkCancel); }

UpgradeResult UpgradeFirmware(Feedback& ui, PortHandle port, FirmwareFile& image, bool confirmed) {
    if (!confirmed) return {{Outcome::Declined}};
    std::optional<uint32_t> length = ImageLength(image);
    if (!length) {
        ui.AppendLog(kFileError);
        return {{Outcome::FileFailed}};
    }
    if (OpResult erase = Accepted(port, CMD_ERASE, kEraseKey); !erase.Ok()) {
        ui.AppendLog(kEraseFailed);
        return {erase};
    }
    SystemClock().sleep(kAfterEraseMs);

    std::array<uint8_t, 4> lengthBytes{};
    PutBigEndian32(lengthBytes.data(), *length);
    if (OpResult start = Accepted(port, CMD_UPGRADE_START, lengthBytes); !start.Ok()) {
        ui.AppendLog(kStartFailed);
        return {start};
    }
    ui.AppendLog(kPleaseWait);

    const OpResult sent = SendImage(ui, port, image, *length);
    if (!sent.Ok()) {
        // The front end that asked to stop says what that leaves the reader with.
        if (sent.outcome != Outcome::Stopped) ui.AppendLog(kBlockFailed);
        return {sent, true};
    }
    if (OpResult end = Accepted(port, CMD_UPGRADE_END); !end.Ok()) {
        ui.AppendLog(kEndFailed);
        return {end, true};
    }
    image.Close();
    ui.AppendLog(kFinished);
    return {{}, true};
}
