// "Connect"/"Discon": opens a port, proves a reader answers by asking for
// its firmware version, and disconnects again. The connection owns g_hComm
// and g_bConnected; every other operation borrows the port.
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

// Opens `port` into g_hComm and asks for the version; connected after it
// unless the result says otherwise.
ConnectResult ConnectReader(Feedback& ui, const std::string& port);
// Closes g_hComm. Nothing is sent and nothing logged.
void DisconnectReader(Feedback& ui);

// The button: connects to the port selected in the list, or disconnects.
ConnectResult OnBnClickedConnect(Feedback& ui);

// The reader's firmware version as every front end and the record book
// write it: "2.10".
std::string FirmwareText(unsigned major, unsigned minor);
