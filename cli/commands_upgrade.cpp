// kavrin-cli upgrade FILE --yes: open the firmware image, then send it,
// the question answered by --yes. A bar counts the acknowledged blocks on a terminal. Once
// the transfer runs, the reader has no working firmware until it ends: the
// first interrupt only warns, a second one stops after the block in flight.
#include <cstdint>
#include <optional>

#include "cli/commands.h"
#include "cli/reader_session.h"
#include "link/frame.h"
#include "ops/upgrade.h"

namespace {

const char* const kBlocks = "blocks";
const char* const kFirstInterrupt =
    "interrupted: stopping now leaves the reader without working firmware, so the upgrade goes on; "
    "interrupt again to stop anyway";
const char* const kStopped =
    "upgrade stopped: the reader has no working firmware until the upgrade is run again";
// Any failure but a refused image may come after the erase.
const char* const kFailed =
    "upgrade failed: the reader may have no working firmware until the upgrade is run again";

// The transfer sends one block more than the whole blocks in the image.
long long BlocksToSend(FirmwareFile& image) {
    std::optional<uint64_t> length = image.Length();
    return length ? static_cast<long long>(*length / kFirmwareBlockSize + 1) : 0;
}

}  // namespace

int RunUpgrade(const GlobalOptions& global, const UpgradeOptions& options) {
    CliFeedback ui;
    // The image is opened before the reader is touched; the operation has
    // shown why when it cannot be.
    OpenedImage opened = OpenFirmwareImage(ui, options.file);
    if (!opened.Ok()) return kExitFailed;

    ReaderSession reader(global, ui);
    if (!reader) return reader.Failure();
    ui.CatchInterrupts(2, kFirstInterrupt);
    ui.StartProgress(BlocksToSend(opened.image), kBlocks);
    // --yes, required to get here, answers the question.
    const UpgradeResult result = UpgradeFirmware(ui, reader->port, opened.image, true);
    ui.EndProgress();
    const int status = ExitStatusFor(ui, result);
    if (result.outcome == Outcome::Stopped)
        ui.Say(kStopped);
    else if (!result.Ok() && result.outcome != Outcome::FileFailed)
        ui.Say(kFailed);
    return status;
}
