// kavrin-cli upgrade FILE --yes: open the firmware image, then send it,
// the question answered by --yes. A bar counts the acknowledged blocks on a terminal. Once
// the transfer runs, the reader has no working firmware until it ends: the
// first interrupt only warns, a second one stops after the block in flight.
#include <cstdint>
#include <optional>

#include "cli/argument_checks.h"
#include "cli/commands.h"
#include "cli/reader_session.h"
#include "link/frame.h"
#include "ops/upgrade.h"

namespace {

const char* const kUpgradeHelp = "send a firmware image (refuses without --yes)";
const char* const kImageFileHelp = "the firmware image (.bin)";
const char* const kUpgradeYesHelp = "yes, replace the reader's firmware";
const char* const kUpgradeRefused = "upgrade replaces the reader's firmware: add --yes to go ahead";
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

int Upgrade(const GlobalOptions& global, const std::string& file) {
    CliFeedback ui;
    // The image is opened before the reader is touched; the operation has
    // shown why when it cannot be.
    OpenedImage opened = OpenFirmwareImage(ui, file);
    if (!opened.Ok()) return kExitFailed;

    return WithReader(global, ui, [&ui, &opened](const Reader& reader) {
        ui.CatchInterrupts(2, kFirstInterrupt);
        ui.StartProgress(BlocksToSend(opened.image), kBlocks);
        // --yes, required to get here, answers the question.
        const UpgradeResult result = UpgradeFirmware(ui, reader.port, opened.image, true);
        ui.FinishProgress();
        const int status = ExitStatusFor(ui, result);
        if (result.outcome == Outcome::Stopped)
            ui.Say(kStopped);
        else if (!result.Ok() && result.outcome != Outcome::FileFailed)
            ui.Say(kFailed);
        return status;
    });
}

}  // namespace

void AddUpgrade(CLI::App& app, const GlobalOptions& global, CommandAction& action) {
    CLI::App* command = app.add_subcommand("upgrade", kUpgradeHelp);
    auto file = std::make_shared<std::string>();
    auto yes = std::make_shared<bool>(false);
    command->add_option("FILE", *file, kImageFileHelp)->required()->check(CLI::Validator(CheckFile, ""));
    command->add_flag("--yes", *yes, kUpgradeYesHelp);
    command->callback([&global, &action, file, yes] {
        RequireYes(*yes, kUpgradeRefused);
        action = [&global, file] { return Upgrade(global, *file); };
    });
}
