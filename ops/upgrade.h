// "Browse" picks and opens a firmware image; "Upgrade" sends it. A front
// end may stop the transfer between two blocks (Feedback::StopRequested);
// the upgrade then ends with no line of its own, the reader left without
// working firmware until the upgrade is run again.
#pragma once

#include <string>

#include "link/serial_port.h"
#include "ops/feedback.h"
#include "ops/firmware_file.h"
#include "ops/result.h"

// The image at `path` (UTF-8), open to be sent; FileFailed, with the
// message shown and the image closed, when it would not open.
struct OpenedImage : OpResult {
    FirmwareFile image;
};
OpenedImage OpenFirmwareImage(Feedback& ui, const std::string& path);

// Asks whether the image may be sent; true for OK.
bool ConfirmUpgrade(Feedback& ui);

// `started`: the reader took the start command, so the transfer began
// (a window shows its fields again then).
struct UpgradeResult : OpResult {
    bool started = false;
};

// Sends `image` over `port` once the user has said yes (`confirmed`;
// Declined, with nothing sent, otherwise). Ok once the reader took the
// whole image; the image is then closed, and the reader wants a new
// connection.
UpgradeResult UpgradeFirmware(Feedback& ui, PortHandle port, FirmwareFile& image, bool confirmed);
