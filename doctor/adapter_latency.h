// The latency timer of the USB serial adapter behind a port.
//
// FTDI-type adapters hold received bytes for up to this long (16 ms unless
// lowered) before passing them on, so every answer of the reader waits it
// out. The timer is read where the system shows it (sysfs on Linux, the FTDI
// driver's registry entry on Windows); nothing is ever changed. Every text
// about it, and the 1 ms the program asks for, are in adapter_latency.cpp.
#pragma once

#include <optional>
#include <string>

#include "doctor/doctor.h"

// Milliseconds, or nothing when the port's driver shows no such timer.
std::optional<int> AdapterLatencyMs(const std::string& port);

// How a user lowers the timer of `port` on this system.
std::string LowerLatencyHint(const std::string& port);

// "PORT: latency timer 16 ms...", with the way to lower it when it is above 1 ms.
Finding LatencyFinding(const std::string& port, int ms);
