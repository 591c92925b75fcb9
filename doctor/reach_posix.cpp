#include "doctor/doctor.h"

#include "doctor/linux_checks.h"

namespace {

void Add(std::vector<Finding>& findings, std::optional<Finding> finding) {
    if (finding) findings.push_back(std::move(*finding));
}

void Add(std::vector<Finding>& findings, const std::vector<Finding>& more) {
    findings.insert(findings.end(), more.begin(), more.end());
}

std::optional<Finding> FirstProblem(std::initializer_list<std::optional<Finding>> findings) {
    for (const std::optional<Finding>& finding : findings)
        if (finding && finding->Problem()) return finding;
    return std::nullopt;
}

}  // namespace

std::vector<Finding> CheckReach(const std::string& port) {
    Host host = ThisHost();
    std::vector<Finding> findings = PortsPresent(host);
    Add(findings, BrailleClaims(host));
    Add(findings, PortlessUsbDevices(host));
    if (port.empty()) return findings;
    Add(findings, NodeAccess(host, port));
    Add(findings, PortHolder(host, port, false));
    Add(findings, ModemManagerProbe(host, port));
    Add(findings, LatencyTimer(host, port));
    return findings;
}

std::optional<Finding> WhyNotOpened(const std::string& port, const OpenStatus& status) {
    Host host = ThisHost();
    switch (status.failure) {
    case OpenFailure::AccessDenied: return FirstProblem({NodeAccess(host, port)});
    case OpenFailure::Busy: return FirstProblem({PortHolder(host, port, true), ModemManagerProbe(host, port)});
    case OpenFailure::NotFound: {
        std::vector<Finding> findings = BrailleClaims(host);
        Add(findings, PortlessUsbDevices(host));
        if (!findings.empty()) return findings.front();
        return std::nullopt;
    }
    default: return std::nullopt;
    }
}

std::optional<Finding> WhyNoAnswer(const std::string& port) {
    Host host = ThisHost();
    return FirstProblem({PortHolder(host, port, false), ModemManagerProbe(host, port)});
}
