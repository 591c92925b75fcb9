// Windows: the COM ports as Device Manager knows them, its problem codes,
// and a port another program holds (Windows opens a COM port for one
// program at a time and does not say which has it).
#include "doctor/doctor.h"

#include "doctor/adapter_latency.h"

#include "link/com_port_device.h"
#include "link/com_port_name.h"
#include "link/port_list.h"
#include "ops/format_text.h"

namespace {

const char* const kNoPort = "no serial port found";
const char* const kPlugIn = "plug in the reader's cable or adapter";
const char* const kDriverFailed = "%s: its driver failed with Device Manager's code %u (%s)";
const char* const kHeldByOther = "%s is held by another program";
const char* const kCloseIt =
    "close the program that uses it; Sysinternals Process Explorer names it (Find > Find Handle or DLL)";

struct ProblemCode {
    unsigned code;
    const char* meaning;
    const char* remedy;
};

const char* const kReplug = "plug it in again; if the code stays, reinstall its driver";
const ProblemCode kProblemCodes[] = {
    {10, "the device cannot start", kReplug},
    {22, "the device is disabled", "enable it in Device Manager"},
    {28, "no driver is installed", "install the adapter maker's driver"},
    {43, "the device reported a failure", kReplug},
};

Finding DriverFailed(const ComPortDevice& device) {
    const char* meaning = "the device does not work";
    const char* remedy = kReplug;
    for (const ProblemCode& known : kProblemCodes)
        if (known.code == device.problem) {
            meaning = known.meaning;
            remedy = known.remedy;
        }
    std::string name = device.friendlyName.empty() ? device.port : device.friendlyName;
    return {FormatText(kDriverFailed, name.c_str(), device.problem, meaning), remedy};
}

std::vector<Finding> FailedDrivers() {
    std::vector<Finding> findings;
    for (const ComPortDevice& device : ComPortDevices())
        if (device.problem != 0) findings.push_back(DriverFailed(device));
    return findings;
}

}  // namespace

std::vector<Finding> CheckReach(const std::string& port) {
    std::vector<Finding> findings;
    for (const SerialPortName& port : PresentSerialPorts()) {
        std::string description = DescribePort(port.device);
        findings.push_back({description.empty() ? port.device : port.device + "  " + description, {}});
    }
    if (findings.empty()) findings.push_back({kNoPort, kPlugIn});
    std::vector<Finding> failed = FailedDrivers();
    findings.insert(findings.end(), failed.begin(), failed.end());
    if (std::optional<int> ms = port.empty() ? std::nullopt : AdapterLatencyMs(port))
        findings.push_back(LatencyFinding(port, *ms));
    return findings;
}

std::optional<Finding> WhyNotOpened(const std::string& port, const OpenStatus& status) {
    if (status.failure == OpenFailure::Busy) return Finding{FormatText(kHeldByOther, port.c_str()), kCloseIt};
    if (status.failure != OpenFailure::NotFound) return std::nullopt;
    std::optional<Finding> first;
    for (const ComPortDevice& device : ComPortDevices()) {
        if (device.problem == 0) continue;
        if (ComPortName(device.port) == ComPortName(port)) return DriverFailed(device);
        if (!first) first = DriverFailed(device);
    }
    return first;
}

std::optional<Finding> WhyNoAnswer(const std::string&) { return std::nullopt; }
