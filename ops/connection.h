// Connecting: opens a port, proves a reader answers by asking for its
// firmware version; and disconnecting again. The front end keeps the port
// handle the connect fills in; every other operation borrows it.
#pragma once

#include <cstdint>
#include <string>

#include "link/serial_port.h"
#include "ops/feedback.h"
#include "ops/result.h"

// What came back to the version request.
enum class ReaderReply {
    Version,  // a reader's answer
    Silence,  // not a byte
    Foreign,  // bytes, but no answer a reader gives
};

struct ConnectResult {
    // Ok: connected (or, for a press that disconnected, disconnected).
    // PortFailed: the port did not open, `open` says why.
    // TransactionFailed: the port opened but no version came back.
    Outcome outcome = Outcome::Ok;
    bool connected = false;  // the state the press left
    OpenStatus open;
    unsigned major = 0;  // the firmware version the reader answered
    unsigned minor = 0;
    // The status byte of the version answer. The window connects whatever
    // it says; a front end that looks treats nonzero as a refusal.
    uint8_t versionStatus = 0;
    ReaderReply reply = ReaderReply::Version;  // for TransactionFailed: silence or foreign bytes

    // The version request's own result: Refused with its status, or Ok.
    OpResult VersionAnswer() const;
};

// The caption of the button that connects and disconnects, in each state.
inline constexpr char kConnectCaption[] = "Connect";
inline constexpr char kDisconnectCaption[] = "Discon";

// Opens `port` into `handle`, which must be null, and asks for the version;
// connected after it unless the result says otherwise. A failure leaves
// `handle` null and the port closed.
ConnectResult ConnectReader(Feedback& ui, const std::string& port, PortHandle& handle);
// Closes `handle` and sets it to null. Nothing is sent and nothing logged.
void DisconnectReader(PortHandle& handle);

// The reader's firmware version as every front end and the record book
// write it: "2.10".
std::string FirmwareText(unsigned major, unsigned minor);
