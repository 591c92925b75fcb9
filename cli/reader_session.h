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
// Disconnects, if the work left the reader connected.
void DisconnectFromReader(CliFeedback& ui);

// kExitOk, kExitInterrupted for a stopped operation, kExitFailed for the
// rest. A refusal, which the window's lines may not show, is said first.
int ExitStatusFor(CliFeedback& ui, const OpResult& result);

// The exit status of `work(reader)`, or that of the failed connection.
template <typename Work>
int WithReader(const GlobalOptions& global, CliFeedback& ui, Work&& work) {
    int status = kExitFailed;
    std::optional<Reader> reader = ConnectToReader(global, ui, status);
    if (!reader) return status;
    status = work(*reader);
    DisconnectFromReader(ui);
    return status;
}

// A subcommand's whole run: a fresh feedback, then `work(ui, reader)`.
template <typename Work>
int RunOnReader(const GlobalOptions& global, Work&& work) {
    CliFeedback ui;
    return WithReader(global, ui, [&](const Reader& reader) { return work(ui, reader); });
}
