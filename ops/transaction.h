// One request to the reader over a port (null when disconnected: the
// request then fails at once), and what came back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "link/frame.h"
#include "link/serial_port.h"
#include "ops/result.h"

struct Answer {
    bool complete = false;  // a whole answer with the right header byte came back
    size_t received = 0;    // bytes that came back: 0 tells a silent port from one that answers what no reader sends
    ResponseBuffer bytes{};

    // True when the reader actually sent byte `index`. A short answer
    // leaves the rest of the buffer zeroed: reading it would report values
    // the reader never gave.
    bool Carries(size_t index) const;
    // What the status byte of a complete answer says: Refused, with the
    // status, when the reader sent one other than 0; Ok otherwise, an
    // answer without a status byte included. For the commands whose callers
    // go on whatever the status: the result tells a front end what the log
    // does not.
    OpResult Status() const;
};

Answer Transact(PortHandle port, uint8_t command, std::span<const uint8_t> data = {});

// For the commands whose status decides: Ok only for a complete answer with
// status 0. An answer without a status byte accepts nothing.
OpResult Accepted(PortHandle port, uint8_t command, std::span<const uint8_t> data = {});
