// kavrin-cli's subcommands, each added to the command line by one function
// of a commands_*.cpp file (a file per group: ports, the reader's settings,
// export, upgrade, the record book, the animal list, doctor). app.cpp lists them in one table.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

// What kavrin-cli's exit status tells a script.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the reader, the port or a file failed
inline constexpr int kExitUsage = 2;   // bad usage or bad arguments; nothing was sent
// Stopped by an interrupt (Ctrl-C, SIGTERM, SIGHUP, the console closing),
// as a shell reports a program that SIGINT ended. On Linux the program then
// ends by the signal itself (EndAsInterrupted), which the shell reports.
inline constexpr int kExitInterrupted = 130;

// Options that apply to every subcommand.
struct GlobalOptions {
    std::optional<std::string> port;  // -p/--port
    std::optional<std::string> book;  // --book FILE
    bool noBook = false;              // --no-book
};

// What a parsed subcommand does; gives the exit status.
using CommandAction = std::function<int()>;

// Adds a subcommand to `app`. Its parse callback stores the work in
// `action`; `global` is filled in by the time the action runs.
using AddCommand = void (*)(CLI::App& app, const GlobalOptions& global, CommandAction& action);

void AddPorts(CLI::App& app, const GlobalOptions& global, CommandAction& action);
void AddInfo(CLI::App& app, const GlobalOptions& global, CommandAction& action);
void AddCount(CLI::App& app, const GlobalOptions& global, CommandAction& action);
void AddDelete(CLI::App& app, const GlobalOptions& global, CommandAction& action);
void AddSyncTime(CLI::App& app, const GlobalOptions& global, CommandAction& action);
void AddPowerDown(CLI::App& app, const GlobalOptions& global, CommandAction& action);
void AddExport(CLI::App& app, const GlobalOptions& global, CommandAction& action);
void AddUpgrade(CLI::App& app, const GlobalOptions& global, CommandAction& action);
void AddBook(CLI::App& app, const GlobalOptions& global, CommandAction& action);
void AddAnimals(CLI::App& app, const GlobalOptions& global, CommandAction& action);
void AddDoctor(CLI::App& app, const GlobalOptions& global, CommandAction& action);
