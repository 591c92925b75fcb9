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

// `body`'s report, or nothing when the child could not run it to the end.
// With `asNobody` the child drops root first.
inline std::optional<std::string> ReportFromChild(const std::function<std::string()>& body, bool asNobody = false) {
    int channel[2];
    if (pipe(channel) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        close(channel[0]);
        if (asNobody && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(3);
        const std::string report = body();
        const bool whole = write(channel[1], report.data(), report.size()) == static_cast<ssize_t>(report.size());
        _exit(whole ? 0 : 1);
    }
    close(channel[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<size_t>(n));
    close(channel[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return report;
}
