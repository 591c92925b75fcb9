// Runs a piece of a test in a forked child and brings back what it reports.
//
// For what the test process itself must not do: run as an ordinary user (the
// tests run as root, who may open anything), or live with resource limits.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

// The user an unprivileged child runs as.
inline constexpr uid_t kNobody = 65534;

// A child running a body, until its report is collected.
struct Child {
    pid_t pid = -1;
    int channel = -1;  // the read end of the pipe the report comes through
};

// Starts `body` in a forked child; pid -1 when it could not start. With
// `asNobody` the child drops root first. Fork before the test starts
// threads of its own: the child has only the thread that forked.
inline Child StartChild(const std::function<std::string()>& body, bool asNobody = false) {
    int channel[2];
    if (pipe(channel) != 0) return {};
    const pid_t child = fork();
    if (child < 0) return {};
    if (child == 0) {
        close(channel[0]);
        if (asNobody && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(3);
        const std::string report = body();
        const bool whole = write(channel[1], report.data(), report.size()) == static_cast<ssize_t>(report.size());
        _exit(whole ? 0 : 1);
    }
    close(channel[1]);
    return {child, channel[0]};
}

// The child's report once it has ended, or nothing when it could not run its body to the end.
inline std::optional<std::string> ReportOf(const Child& child) {
    if (child.pid < 0) return std::nullopt;
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = read(child.channel, buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<size_t>(n));
    close(child.channel);
    int status = 0;
    if (waitpid(child.pid, &status, 0) != child.pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return report;
}

// `body`'s report, or nothing when the child could not run it to the end.
inline std::optional<std::string> ReportFromChild(const std::function<std::string()>& body, bool asNobody = false) {
    return ReportOf(StartChild(body, asNobody));
}
