#include "doctor/doctor.h"

#include "doctor/adapter_latency.h"
#include "link/port_list.h"

std::vector<Finding> SurveyPorts() {
    std::vector<Finding> findings = CheckReach("");
    for (const SerialPortName& port : PresentSerialPorts()) {
        const OpenStatus status = CheckPortAccess(port.device);
        // A missing driver's finding is among CheckReach's already.
        if (status.failure == OpenFailure::Busy || status.failure == OpenFailure::AccessDenied) {
            if (std::optional<Finding> why = WhyNotOpened(port.device, status)) findings.push_back(*why);
        }
        if (std::optional<int> ms = AdapterLatencyMs(port.device)) findings.push_back(LatencyFinding(port.device, *ms));
    }
    return findings;
}
