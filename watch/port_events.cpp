#include "watch/port_events.h"

bool PresentPorts::Apply(const PortEvent& event) {
    if (event.change == PortChange::Appeared) return present_.insert(event.port).second;
    return present_.erase(event.port) == 1;
}
