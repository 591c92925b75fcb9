#include "cli/open_failure.h"

#include "link/port_list.h"

namespace {

const char* const kNotFound = "no such port (kavrin-cli ports lists the serial ports)";
const char* const kAccessDenied = "permission denied";
const char* const kBusy = "busy: another program holds the port";
const char* const kNotSerial = "not a serial port";
const char* const kOther = "cannot open the port";

}  // namespace

std::string DescribeOpenFailure(const std::string& port, const OpenStatus& status) {
    std::string reason;
    switch (status.failure) {
    case OpenFailure::NotFound: reason = kNotFound; break;
    case OpenFailure::AccessDenied:
        reason = kAccessDenied;
        if (std::string hint = AccessDeniedHint(); !hint.empty()) reason += "; " + hint;
        break;
    case OpenFailure::Busy: reason = kBusy; break;
    case OpenFailure::NotSerial: reason = kNotSerial; break;
    case OpenFailure::None:
    case OpenFailure::AlreadyOpen:
    case OpenFailure::Other:
        reason = kOther;
        if (!status.detail.empty()) reason += ": " + status.detail;
        break;
    }
    return port + ": " + reason;
}
