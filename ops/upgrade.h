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

// Opens the image at `path` (UTF-8) as the one to send; FileFailed when it
// would not open.
OpResult OpenFirmwareImage(Feedback& ui, const std::string& path);
// Sends `image` over `port` once the user has said yes (`confirmed`;
// Declined, with nothing sent, otherwise). Ok once the reader took the
// whole image; the image is then closed, and the reader wants a new
// connection.
OpResult UpgradeFirmware(Feedback& ui, PortHandle port, FirmwareFile& image, bool confirmed);

// The buttons. Browse: Declined when the user cancelled the file dialog.
// Upgrade: disconnects after a finished upgrade.
OpResult OnBnClickedBrowse(Feedback& ui);
OpResult OnBnClickedUpgrade(Feedback& ui);
