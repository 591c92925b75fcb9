// The serial ports offered in the port list: those of COM1: to COM18: and of
// the ports Windows lists past them that open and take the reader's line
// settings when the window starts.
#pragma once

#include <string>
#include <vector>

// Opens and closes "COM1:" to "COM18:" and then every further port Windows
// lists, in ascending order; gives the names of those that opened, in that
// order. A port held by another program does not open.
std::vector<std::string> ProbeCommPorts();
