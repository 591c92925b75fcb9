// Linux: a Bluetooth reader reached by address over an RFCOMM socket, no
// tty and no root needed. The serial port code (serial_port_posix.cpp)
// reads and writes the socket as it does a tty, with the same deadlines:
// a socket gives end of file when the far side disconnects, and nothing at
// all when the far controller is simply gone, so the deadlines alone end
// a transfer then.
//
// Connecting is bounded too, by one deadline of 8 s for the whole of it:
// the Serial Port service's channel is asked of the device's SDP server
// (channel 1 where the device has no server or publishes no such
// service), then the channel is connected. Whatever fails is reported in
// the status's detail, an SDP server that fails with the name that skips
// the query (bt:ADDRESS/1).
#pragma once

#include <string>

#include "link/serial_port.h"

// `name` is a "bt:" name (bluetooth_port_name.h). A connected,
// non-blocking socket in `fd` when the result says so.
OpenStatus ConnectRfcomm(const std::string& name, int& fd);

// Throws away what has arrived and not been read: the purge of a socket.
void DiscardReceived(int fd);
