// "Browse" picks and opens a firmware image; "Upgrade" sends it. A front
// end may stop the transfer between two blocks (Feedback::StopRequested);
// the upgrade then ends with no line of its own, the reader left without
// working firmware until the upgrade is run again.
#pragma once

#include "ops/feedback.h"
#include "ops/result.h"

// Declined when the user cancelled the file dialog; FileFailed when the
// image would not open.
OpResult OnBnClickedBrowse(Feedback& ui);
// Ok once the reader took the whole image (it is then disconnected).
OpResult OnBnClickedUpgrade(Feedback& ui);
