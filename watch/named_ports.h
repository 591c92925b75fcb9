// Ports the user named (device paths, COMn, bt: addresses), watched by
// trying them: a port that answers has appeared, and one that stops
// answering has gone. Each is tried at once, then again `every` after its
// last try ended, whether it answered or not: a reader switched off while
// present is seen gone, and read again when it is back. A port is open only
// during a try, which takes up to the port's own time-outs (a silent tty
// about 3 s, a Bluetooth connection 8 s) besides the wait given to Next;
// a port held by another program (a download of ours among them) is
// taken as unchanged.
//
// The waits between tries go through the clock seam (ops/clock.h), so
// tests run the schedule without waiting it out.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ops/connection.h"
#include "watch/port_events.h"

enum class PortAnswer {
    Answered,  // a reader answered
    Silent,    // no port, or nothing that answers as a reader
    Busy,      // held by another program: no news
};

using PortTry = std::function<PortAnswer(const std::string& port)>;

inline constexpr std::chrono::seconds kNamedPortInterval{60};

// The port opened, the reader asked for its version, the port closed:
// what the connect found, its lines unsaid.
ConnectResult TryReader(const std::string& port);
// What a try's result says of the port.
PortAnswer AnswerOf(const ConnectResult& result);
// Both: the try a watch of named ports makes unless given another.
PortAnswer AskForVersion(const std::string& port);

std::unique_ptr<PortEvents> WatchNamedPorts(std::vector<std::string> ports,
                                            std::chrono::milliseconds every = kNamedPortInterval,
                                            PortTry attempt = AskForVersion);
