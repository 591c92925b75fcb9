// "Connect"/"Discon": opens the port picked in the list, proves a reader
// answers by asking for its firmware version, and disconnects again.
#pragma once

#include "link/serial_port.h"
#include "ops/feedback.h"
#include "ops/result.h"

struct ConnectResult : OpResult {
    bool connected = false;  // the state the press left: true after a connect
    unsigned major = 0;      // the firmware version the reader answered
    unsigned minor = 0;
    OpenStatus open;         // why the port did not open
};

// A version answer with a nonzero status still connects, as the window
// always has; the result says Refused with that status.
ConnectResult OnBnClickedConnect(Feedback& ui);
