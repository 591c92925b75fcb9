// The checks as the front ends ask for them: everything for kavrin-cli
// doctor, and the one line that says why a connection failed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "doctor/finding.h"
#include "link/serial_port.h"

// The serial ports present and the adapters whose port is missing, then,
// for `port` (none when empty), what keeps it from this program.
std::vector<Finding> CheckReach(const std::string& port);

// Why `port` did not open with `status`, where the checks find more than
// the status says: who holds a busy port, which group a refused user
// lacks, which driver a missing port waits for.
std::optional<Finding> WhyNotOpened(const std::string& port, const OpenStatus& status);

// Why a port that opened may not answer as a reader: another program has
// it open as well, or ModemManager probes it.
std::optional<Finding> WhyNoAnswer(const std::string& port);
