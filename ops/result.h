// What an operation did, for the front ends that act on it.
//
// Every operation returns one of these (or a struct that adds what it read)
// besides the log lines the window shows, so that a front end decides from
// the result alone and never reads a log line back. The window itself keeps
// to its lines and ignores the result.
#pragma once

#include <cstdint>
#include <string>

enum class Outcome {
    Ok,
    Declined,           // the user said no to the question; nothing was sent
    BadField,           // a field out of range; nothing was sent
    PortFailed,         // the port did not open
    TransactionFailed,  // no complete answer came back
    Refused,            // the reader answered with a nonzero status
    FileFailed,         // a file could not be opened, created, written or synced
    Stopped,            // the front end asked the work to stop
    Differs,            // a second reading did not give the records of the first
};

struct OpResult {
    Outcome outcome = Outcome::Ok;
    uint8_t status = 0;  // the reader's status byte, when it refused

    bool Ok() const { return outcome == Outcome::Ok; }
};

// "the reader refused the command (status 5)": what a front end that looks
// at the status says where the window shows nothing.
std::string RefusalText(const OpResult& result);
