// Readers coming and going: the one face of the ways a watch learns of
// them (a USB serial adapter plugged in, as the system announces it: a
// udev monitor on Linux, device arrival on Windows; or a named port that
// starts answering, adapters.h and named_ports.h).
//
// A source says "port P appeared" when a reader may be read on P and "port
// P went away" when it is gone. Each port's events alternate, starting
// with Appeared: what is present when the source starts is reported once,
// as appeared, and a port appears again only after it has gone. So a front
// end reads a reader once for each Appeared, and a reader plugged in all
// along is never read twice.
#pragma once

#include <chrono>
#include <set>
#include <string>
#include <vector>

enum class PortChange { Appeared, Gone };

struct PortEvent {
    PortChange change = PortChange::Appeared;
    std::string port;  // what OpenPort takes: /dev/ttyUSB0, COM5, bt:00:11:22:33:44:55

    bool operator==(const PortEvent&) const = default;
};

class PortEvents {
public:
    virtual ~PortEvents() = default;
    // The events that came since the last call, in order, waiting at most
    // `wait` for the first: none when nothing came meanwhile. Short waits
    // let the caller look at its own stop request between calls.
    virtual std::vector<PortEvent> Next(std::chrono::milliseconds wait) = 0;
};

// The ports present, kept from the events that change them: an Appeared of
// a port present, or a Gone of one that is not, changes nothing.
class PresentPorts {
public:
    // True when `event` changes what is present, and so is to be passed on.
    bool Apply(const PortEvent& event);

private:
    std::set<std::string> present_;
};
