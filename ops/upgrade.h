// "Browse" picks and opens a firmware image; "Upgrade" sends it. A front
// end may stop the transfer between two blocks (Feedback::StopRequested);
// the upgrade then ends with no line of its own, the reader left without
// working firmware until the upgrade is run again.
#pragma once

#include "ops/feedback.h"

void OnBnClickedBrowse(Feedback& ui);
void OnBnClickedUpgrade(Feedback& ui);
