// The serial ports offered in the port list: those of COM1: to COM18: that
// open and take the reader's line settings when the window starts.
#pragma once

#include <string>
#include <vector>

inline constexpr int kProbedPortCount = 18;

// Index 1 to 18 hold "COM1:" to "COM18:" once the probe has run; 0 is unused.
extern std::vector<std::string> g_portNames;

// Opens and closes each port in turn, from COM1: up; gives the names of those
// that opened, in that order. A port held by another program does not open.
std::vector<std::string> ProbeCommPorts();
