#include "processes.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const int kCliBoundMs = 60000;
const int kSimLineBoundMs = 10000;
const int kSimStateBoundMs = 30000;
const int kSimStatePollMs = 5;

std::vector<char*> Argv(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    return argv;
}

int RemainingMs(std::chrono::steady_clock::time_point until) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& args, const CliOptions& options) {
    int outPipe[2], errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) return {};
    if (options.errOnTerminal) {
        close(errPipe[0]);
        close(errPipe[1]);
        if (openpty(&errPipe[0], &errPipe[1], nullptr, nullptr, nullptr) != 0) return {};
        fcntl(errPipe[0], F_SETFD, FD_CLOEXEC);
        fcntl(errPipe[1], F_SETFD, FD_CLOEXEC);
    }
    std::vector<std::string> command = options.runner;
    command.push_back(KAVRIN_CLI);
    command.insert(command.end(), args.begin(), args.end());
    const std::string program = command.front();
    const std::vector<std::string> arguments(command.begin() + 1, command.end());
    std::vector<char*> argv = Argv(program, arguments);

    pid_t pid = fork();
    if (pid == 0) {
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, 0);
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0) _exit(125);
        if (options.group != static_cast<gid_t>(-1) && (setgroups(0, nullptr) != 0 || setgid(options.group) != 0))
            _exit(125);
        if (options.user != static_cast<uid_t>(-1) && setuid(options.user) != 0) _exit(125);
        execvp(program.c_str(), argv.data());
        _exit(errno == EACCES ? 126 : 127);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    std::thread during;
    if (options.whileRunning) during = std::thread(options.whileRunning, pid);

    CliRun run;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kCliBoundMs);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    int open = 2;
    while (open > 0) {
        int ready = poll(fds, 2, RemainingMs(until));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
            } else {
                // A pipe ends with 0; a terminal's master with EIO once the program is gone.
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (pollfd& fd : fds)
        if (fd.fd >= 0) close(fd.fd);
    if (open > 0) kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (during.joinable()) during.join();
    run.exitCode = open == 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    return run;
}

SimProcess::SimProcess(const std::vector<std::string>& args) {
    int inPipe[2], outPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0) return;
    std::string program = KAVRIN_SIM;
    std::vector<std::string> all{"--control"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv = Argv(program, all);

    pid_ = fork();
    if (pid_ == 0) {
        dup2(inPipe[0], 0);
        dup2(outPipe[1], 1);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    in_ = inPipe[1];
    out_ = outPipe[0];
    port_ = ReadLine();
}

SimProcess::~SimProcess() {
    if (in_ >= 0) close(in_);  // the simulator ends when its input closes
    if (pid_ > 0) {
        for (int i = 0; i < 100 && waitpid(pid_, nullptr, WNOHANG) == 0; ++i) usleep(50000);
        if (kill(pid_, SIGKILL) == 0) waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
}

std::string SimProcess::ReadLine() {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSimLineBoundMs);
    for (;;) {
        size_t end = buffered_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        pollfd fd{out_, POLLIN, 0};
        if (poll(&fd, 1, RemainingMs(until)) <= 0) return {};
        char buffer[1024];
        ssize_t n = read(out_, buffer, sizeof buffer);
        if (n <= 0) return {};
        buffered_.append(buffer, static_cast<size_t>(n));
    }
}

std::vector<std::string> SimProcess::Command(const std::string& command) {
    std::string line = command + "\n";
    if (write(in_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return {};
    std::vector<std::string> lines;
    for (std::string reply = ReadLine(); !reply.empty() && reply != "ok"; reply = ReadLine()) {
        if (reply.rfind("error", 0) == 0) return {reply};
        lines.push_back(reply);
    }
    return lines;
}

std::string SimProcess::State(const std::string& key) {
    for (const std::string& line : Command("state"))
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return {};
}

bool SimProcess::WaitForState(const std::string& key, long atLeast) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kSimStateBoundMs);
    while (std::chrono::steady_clock::now() < until) {
        std::string value = State(key);
        if (!value.empty() && std::stol(value) >= atLeast) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(kSimStatePollMs));
    }
    return false;
}
