// A subcommand's time with the reader: choose the port, connect through
// the connection operation, do the work, disconnect.
//
// When the connection fails the operation has logged its own line; this
// adds the reason a user can act on (no such port, permission, busy, no
// reader answering).
#pragma once

#include <functional>

#include "cli/cli_feedback.h"
#include "cli/global_options.h"
#include "ops/connection.h"

// The exit status of `work`, given what the connect found, or
// kExitFailed/kExitUsage when no reader could be reached.
int WithReader(const GlobalOptions& global, CliFeedback& ui, const std::function<int(const ConnectResult&)>& work);

// A subcommand's whole run: a fresh feedback, then WithReader. `global` is
// read when the run starts, after the command line has been parsed.
std::function<int()> OnReader(const GlobalOptions& global,
                              std::function<int(CliFeedback&, const ConnectResult&)> work);
// The same for work that needs nothing of the connect.
std::function<int()> OnReader(const GlobalOptions& global, std::function<int(CliFeedback&)> work);
