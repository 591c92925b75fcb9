// A subcommand's time with the reader: choose the port, connect through
// the connection operation, do the work, disconnect; and what an
// operation's result means for the exit status.
//
// Without --port the USB serial adapters present are looked at: when there
// is exactly one, it is used; otherwise the user is shown them and asked
// for --port. No port is opened for that: only the one used is, by the
// connection, and a port nobody named may not be ours to touch. When the
// connection fails the operation has logged its own line; this adds the
// reason a user can act on (doctor/doctor.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli_feedback.h"
#include "cli/commands.h"
#include "link/serial_port.h"
#include "ops/connection.h"
#include "ops/result.h"

struct PortChoice {
    std::string port;  // empty when there is none to use
    int exitCode = 0;  // why there is none
};

// Among the adapters found: the only one. Says nothing.
PortChoice AdapterChoice(const std::vector<std::string>& adapters);
// The same choice, said on `ui`: the port used, or why there is none to use.
PortChoice ChooseAdapter(const std::vector<std::string>& adapters, CliFeedback& ui);

// A connected reader: the port the operations use, its name, and what the
// connect found.
struct Reader {
    PortHandle port = nullptr;
    std::string name;
    ConnectResult connection;
};

// Chooses the port and connects. Nothing when no reader could be reached:
// the reason has been said and `exitCode` holds the status to exit with.
std::optional<Reader> ConnectToReader(const GlobalOptions& global, CliFeedback& ui, int& exitCode);
// Disconnects: the port is let go.
void DisconnectFromReader(Reader& reader);

// The reader a subcommand works with, beside the work: connected when
// made, disconnected when it goes.
class ReaderSession {
public:
    ReaderSession(const GlobalOptions& global, CliFeedback& ui) : ui_(ui), reader_(ConnectToReader(global, ui, failure_)) {}
    ~ReaderSession() {
        if (reader_) DisconnectFromReader(*reader_);
    }
    ReaderSession(const ReaderSession&) = delete;
    ReaderSession& operator=(const ReaderSession&) = delete;

    // False when no reader could be reached: the reason has been said.
    explicit operator bool() const { return reader_.has_value(); }
    const Reader& operator*() const { return *reader_; }
    const Reader* operator->() const { return &*reader_; }
    // The status to exit with when no reader could be reached.
    int Failure() const { return failure_; }

private:
    CliFeedback& ui_;
    int failure_ = kExitFailed;
    std::optional<Reader> reader_;
};

// kExitOk, kExitInterrupted for a stopped operation, kExitFailed for the
// rest. A refusal, which the window's lines may not show, is said first.
int ExitStatusFor(CliFeedback& ui, const OpResult& result);
