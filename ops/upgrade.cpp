#include "ops/upgrade.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <span>

#include "ops/clock.h"
#include "ops/connection.h"
#include "ops/state.h"
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
    g_dwFirmwareLength = 0;
    std::optional<uint64_t> length = image.Length();
    if (!length) return std::nullopt;
    g_dwFirmwareLength = static_cast<uint32_t>(*length);
    if (*length > std::numeric_limits<uint32_t>::max() || *length < kMinimumImageLength) return std::nullopt;
    return g_dwFirmwareLength;
}

// Block `index` of an image of `length` bytes into g_firmwareBlock, padded
// with the filler past the end of the image or of what the file still holds.
void ReadBlock(FirmwareFile& image, uint32_t index, uint32_t length) {
    const uint64_t offset = uint64_t{index} * kFirmwareBlockSize;
    size_t got = 0;
    if (offset < length)
        got = image.ReadAt(offset, g_firmwareBlock.data(),
                                    static_cast<size_t>(std::min<uint64_t>(kFirmwareBlockSize, length - offset)));
    std::fill_n(g_firmwareBlock.data() + got, g_firmwareBlock.size() - got, kFiller);
}

OpResult SendImage(Feedback& ui, PortHandle port, FirmwareFile& image, uint32_t length) {
    const uint32_t lastBlock = length / kFirmwareBlockSize;
    for (uint32_t i = 0; i <= lastBlock; ++i) {
        ReadBlock(image, i, length);
        if (OpResult block = Accepted(port, CMD_UPGRADE_DATA, g_firmwareBlock); !block.Ok()) return block;
        // Wide arithmetic: i x 12800 outgrows 32 bits for images past 40 MB.
        ui.SetProgress(static_cast<int>(uint64_t{i} * 12800 / length));
        // Only between blocks: a block cut in half would leave the reader guessing.
        if (ui.StopRequested()) return {Outcome::Stopped};
    }
    return {};
}

}  // namespace

OpResult OpenFirmwareImage(Feedback& ui, const std::string& path) {
    g_strFirmwarePath = path;
    g_strFirmwareName = FileNameOf(path);
    ui.AddFirmwareFile(path);
    if (g_firmwareFile.Open(path)) return {};
    ui.ShowMessage(kCannotOpen, Feedback::Buttons::Ok);
    return {Outcome::FileFailed};
}

OpResult UpgradeFirmware(Feedback& ui, PortHandle port, FirmwareFile& image, bool confirmed) {
    if (!confirmed) return {Outcome::Declined};
    std::optional<uint32_t> length = ImageLength(image);
    if (!length) {
        ui.AppendLog(kFileError);
        return {Outcome::FileFailed};
    }
    if (OpResult erase = Accepted(port, CMD_ERASE, kEraseKey); !erase.Ok()) {
        ui.AppendLog(kEraseFailed);
        return erase;
    }
    SystemClock().sleep(kAfterEraseMs);

    std::array<uint8_t, 4> lengthBytes{};
    PutBigEndian32(lengthBytes.data(), *length);
    if (OpResult start = Accepted(port, CMD_UPGRADE_START, lengthBytes); !start.Ok()) {
        ui.AppendLog(kStartFailed);
        return start;
    }
    ui.AppendLog(kPleaseWait);
    ui.PushFields();

    OpResult sent = SendImage(ui, port, image, *length);
    // The front end that asked to stop says what that leaves the reader with.
    if (sent.outcome == Outcome::Stopped) return sent;
    if (!sent.Ok()) {
        ui.AppendLog(kBlockFailed);
        return sent;
    }
    if (OpResult end = Accepted(port, CMD_UPGRADE_END); !end.Ok()) {
        ui.AppendLog(kEndFailed);
        return end;
    }
    image.Close();
    ui.AppendLog(kFinished);
    return {};
}

OpResult OnBnClickedBrowse(Feedback& ui) {
    std::optional<std::string> path = ui.ChooseFirmwareFile();
    if (!path) return {Outcome::Declined};
    return OpenFirmwareImage(ui, *path);
}

OpResult OnBnClickedUpgrade(Feedback& ui) {
    if (!ui.ShowMessage(kConfirm, Feedback::Buttons::OkCancel)) return {Outcome::Declined};
    // A failed check has shown its own message; the upgrade goes on regardless.
    ui.PullFields();
    OpResult result = UpgradeFirmware(ui, g_hComm, g_firmwareFile, true);
    if (result.Ok()) DisconnectReader(ui);
    return result;
}
