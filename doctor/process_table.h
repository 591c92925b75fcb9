// Linux: the programs running, from /proc, for naming who holds a port and
// whether brltty or ModemManager is at work. Another user's descriptors are
// not ours to read: that is told apart from nobody holding the port.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "doctor/host.h"

struct RunningProgram {
    int pid = 0;
    std::string name;  // as /proc/PID/comm gives it
};

// Whether a program whose name starts with `name` runs.
bool ProgramRunning(const Host& host, std::string_view name);

struct PortHolders {
    // Those with `node` open, this process and the master side of a
    // pseudo-terminal left out.
    std::vector<RunningProgram> found;
    bool unreadable = false;            // some process's descriptors could not be read
};

// Who has the device node `node` open.
PortHolders HoldersOf(const Host& host, const std::string& node);
