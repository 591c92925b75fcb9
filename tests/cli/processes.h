// kavrin-cli and kavrin-sim as separate processes, the way a user runs them.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

struct CliRun {
    int exitCode = -1;  // -1: ended by a signal, or killed after its time bound
    int signal = 0;     // the signal that ended it
    std::string out;
    std::string err;
};

struct CliOptions {
    // Run as this user and group instead of ours (needs root); -1 keeps ours.
    uid_t user = static_cast<uid_t>(-1);
    gid_t group = static_cast<gid_t>(-1);
    // Standard error on a pseudo-terminal, as when a person watches.
    bool errOnTerminal = false;
    // Where the program runs; empty keeps ours.
    std::string workingDirectory;
    // A program and its arguments that run kavrin-cli (a tracer, say).
    std::vector<std::string> runner;
    // Runs on a thread of its own while the program runs, given its pid
    // (to interrupt it once the reader has seen enough, say).
    std::function<void(pid_t)> whileRunning;
};

// Runs kavrin-cli with `args`, its standard input closed, and waits for it
// (killing it after a generous bound).
CliRun RunCli(const std::vector<std::string>& args, const CliOptions& options = {});

// kavrin-sim --control: a virtual reader on a pty, steered through its
// standard input. It ends when the object goes.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Started() const { return !port_.empty(); }
    const std::string& Port() const { return port_; }

    // Sends a control command; the lines it printed before its "ok".
    std::vector<std::string> Command(const std::string& command);
    // A value of the `state` command, such as "received".
    std::string State(const std::string& key);
    // Waits, within a generous bound, until the number `key` reaches
    // `atLeast`; false when it did not.
    bool WaitForState(const std::string& key, long atLeast);

private:
    std::string ReadLine();

    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string buffered_;
    std::string port_;
};
