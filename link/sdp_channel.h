// Linux: the RFCOMM channel a Bluetooth device publishes for its Serial
// Port service, asked of its SDP server within the caller's deadline.
//
// libbluetooth's own query waits 20 s for each answer, whatever the
// caller can afford. This one sends the query with the library's
// asynchronous calls, polls the SDP socket until the deadline, and hands
// each answer that has arrived to the library, so the deadline holds for
// the whole query. Every way it can fail is reported in the status.
#pragma once

#include <bluetooth/bluetooth.h>
#include <bluetooth/sdp.h>
#include <bluetooth/sdp_lib.h>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "link/deadline.h"
#include "link/serial_port.h"

// Asks the device at the other end of `session` (connected, non-blocking)
// for its Serial Port service. `channel` is left as it is where the
// device publishes no channel for it.
OpenStatus QuerySerialPortChannel(sdp_session_t* session, const Deadline& deadline, uint8_t& channel);

// The channel (1 to 30) of the first record with one in the attribute
// lists of a service search attribute answer; 0 where there is no record
// or none has one; nothing when the bytes are not attribute lists.
std::optional<uint8_t> SerialPortChannelIn(const uint8_t* lists, size_t size);
