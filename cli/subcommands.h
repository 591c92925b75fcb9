// The subcommands of kavrin-cli.
//
// Each subcommand lives in its own command_*.cpp and registers itself with
// a static RegisterCommand call, so the build decides which subcommands the
// program offers. The rank orders them in --help.
#pragma once

#include <functional>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/global_options.h"

// What a parsed subcommand does; gives the exit status.
using CommandAction = std::function<int()>;

// Adds the subcommand to `app`. Its parse callback stores the work in
// `action`; `global` is filled in by the time the action runs.
using AddCommand = void (*)(CLI::App& app, const GlobalOptions& global, CommandAction& action);

struct CommandEntry {
    int rank;
    AddCommand add;
};

// Always true, so that a namespace-scope constant can hold the call.
bool RegisterCommand(CommandEntry entry);

// Sorted by rank.
std::vector<CommandEntry> RegisteredCommands();
