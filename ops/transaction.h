// One request to the reader over a port (null when disconnected: the
// request then fails at once).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "link/frame.h"
#include "link/serial_port.h"
#include "ops/result.h"

// True when a complete answer arrived in `response`.
bool Transact(PortHandle port, uint8_t command, std::span<const uint8_t> data, ResponseBuffer& response);
// The same; `received` counts the bytes that came back, so that a silent
// port is told from one that answers what no reader sends.
bool Transact(PortHandle port, uint8_t command, std::span<const uint8_t> data, ResponseBuffer& response,
              size_t& received);

// True when the reader actually sent response byte `index`. A short answer
// leaves the rest of the buffer as it was: reading it would report values
// the reader never gave.
bool Carries(const ResponseBuffer& response, size_t index);

// What the status byte of a complete answer says: Refused, with the
// status, when the reader sent one other than 0; Ok otherwise, an answer
// without a status byte included. For the commands whose callers go on
// whatever the status: the result tells a front end what the log does not.
OpResult StatusOf(const ResponseBuffer& response);

// For the commands whose status decides: Ok only for a complete answer with
// status 0. An answer without a status byte accepts nothing.
OpResult Accepted(PortHandle port, uint8_t command, std::span<const uint8_t> data = {});
