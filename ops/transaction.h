// One request to the reader over the port the connection holds (or null,
// when disconnected: the request then fails at once).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "link/frame.h"

// True when a complete answer arrived in `response`.
bool Transact(uint8_t command, std::span<const uint8_t> data, ResponseBuffer& response);

// True when the reader actually sent response byte `index`. A short answer
// leaves the rest of the buffer as it was: reading it would report values
// the reader never gave.
bool Carries(const ResponseBuffer& response, size_t index);

// True when the reader answered completely with status 0. An answer without
// a status byte accepts nothing.
bool Accepted(uint8_t command, std::span<const uint8_t> data = {});
