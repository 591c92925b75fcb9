// One request/response transaction with the reader.
//
// SendCommand fills in the request's checksum, drops whatever is left in both
// port queues, writes the request, reads the 3-byte response header and then
// exactly the L bytes it announces. It never writes past the 258-byte
// response buffer, whatever the reader sends. The status byte is the
// caller's to judge.
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/frame.h"
#include "link/serial_port.h"

// 0 when a complete response with the right header byte arrived, 1 otherwise.
int SendCommand(PortHandle handle, uint8_t* request, size_t n, ResponseBuffer& response);
// The same; `received` counts the bytes that came back, so that a silent
// port is told from one that answers what no reader sends.
int SendCommand(PortHandle handle, uint8_t* request, size_t n, ResponseBuffer& response, size_t& received);
