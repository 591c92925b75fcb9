// Why a reader cannot be reached: what the checks found, one line each.
//
// The checks read what the system already knows (on Linux sysfs, /dev,
// /proc, the udev database and rule folders, the running kernel's module
// list; on Windows SetupAPI) and never open a port the user did not
// choose. Every front end shows their lines as they stand, so a text and
// its remedy are written once, in the check that finds it.
#pragma once

#include <string>

struct Finding {
    std::string text;    // what was found
    std::string remedy;  // what to do about it; empty where nothing is wrong

    bool Problem() const { return !remedy.empty(); }
};

// "text" or "text: remedy".
std::string FindingLine(const Finding& finding);
