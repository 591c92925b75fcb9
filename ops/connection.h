// "Connect"/"Discon": opens the port picked in the list, proves a reader
// answers by asking for its firmware version, and disconnects again.
#pragma once

#include "ops/feedback.h"

void OnBnClickedConnect(Feedback& ui);
