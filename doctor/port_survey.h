// What the checks tell about every serial port without a word to a reader:
// the ports present with what the system knows of them, the adapters whose
// driver failed or that have no port, each port another program holds, and
// each adapter's latency timer. kavrin-cli doctor adds the reader's answer
// on one port; a window that never talks to a reader shows these alone.
#pragma once

#include <vector>

#include "doctor/finding.h"

// Opens no port on Linux; on Windows each present port but a Bluetooth one
// is opened and closed at once, as the window's start-up probe does, since
// only that tells a held port.
std::vector<Finding> SurveyPorts();
