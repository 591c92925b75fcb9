#include "doctor/doctor.h"

#include "ops/format_text.h"

namespace {

const char* const kNotFound = "no such port";
const char* const kAccessDenied = "permission denied";
const char* const kBusy = "busy: another program holds the port";
const char* const kNotSerial = "not a serial port";
const char* const kOther = "cannot open the port";

const char* const kVersion = "%s: the reader answered: firmware version %s";
const char* const kSilence = "%s: nothing answered in 2.8 s";
const char* const kSwitchedOn = "is the reader switched on? it powers itself down after its power-down time";
const char* const kForeign = "%s: something that is not the reader answers on this port";

std::string StatusText(const OpenStatus& status) {
    switch (status.failure) {
    case OpenFailure::NotFound: return kNotFound;
    case OpenFailure::AccessDenied: return kAccessDenied;
    case OpenFailure::Busy: return kBusy;
    case OpenFailure::NotSerial: return kNotSerial;
    case OpenFailure::None:
    case OpenFailure::AlreadyOpen:
    case OpenFailure::Other: break;
    }
    return status.detail.empty() ? std::string(kOther) : kOther + (": " + status.detail);
}

Finding NotOpened(const std::string& port, const OpenStatus& status) {
    std::optional<Finding> why = WhyNotOpened(port, status);
    return why ? *why : Finding{port + ": " + StatusText(status), {}};
}

}  // namespace

std::string OpenFailureLine(const std::string& port, const OpenStatus& status) {
    return FindingLine(NotOpened(port, status));
}

Finding ReaderAnswer(const std::string& port, const ConnectResult& connection) {
    if (connection.connected) {
        return {FormatText(kVersion, port.c_str(), FirmwareText(connection.major, connection.minor).c_str()), {}};
    }
    if (connection.reply == ReaderReply::Silence) return {FormatText(kSilence, port.c_str()), kSwitchedOn};
    return {FormatText(kForeign, port.c_str()), {}};
}

Finding ConnectFailure(const std::string& port, const ConnectResult& connection) {
    if (connection.outcome == Outcome::PortFailed) return NotOpened(port, connection.open);
    std::optional<Finding> why = WhyNoAnswer(port);
    return why ? *why : ReaderAnswer(port, connection);
}

std::string ConnectFailureLine(const std::string& port, const ConnectResult& connection) {
    return FindingLine(ConnectFailure(port, connection));
}

std::vector<Finding> ConnectDiagnosis(const std::string& port, const ConnectResult& connection) {
    std::vector<Finding> findings = {ConnectFailure(port, connection)};
    for (const Finding& finding : CheckReach(port)) {
        if (finding.text != findings.front().text) findings.push_back(finding);
    }
    return findings;
}
