#include "cli/port_choice.h"

#include "cli/exit_codes.h"
#include "cli/open_failure.h"
#include "link/port_list.h"

namespace {

const char* const kNoAdapter =
    "no USB serial adapter found: plug in the reader, or name its port with --port "
    "(kavrin-cli ports lists the ports that open)";
const char* const kSeveralAdapters = "several USB serial adapters; name the reader's with --port:";
const char* const kUsing = "using ";

// An empty text when the port opens, else why not.
std::string TryOpen(const std::string& port) {
    OpenStatus status = ProbePort(port);
    return status.failure == OpenFailure::None ? std::string() : DescribeOpenFailure(port, status);
}

}  // namespace

PortChoice ChoosePort(const std::optional<std::string>& named, CliFeedback& ui) {
    if (named) return {*named, kExitOk};
    return ChooseAdapter(AdapterPorts(), ui);
}

PortChoice ChooseAdapter(const std::vector<std::string>& adapters, CliFeedback& ui) {
    if (adapters.empty()) {
        ui.Say(kNoAdapter);
        return {{}, kExitFailed};
    }
    if (adapters.size() > 1) {
        ui.Say(kSeveralAdapters);
        for (const std::string& port : adapters) {
            std::string failure = TryOpen(port);
            ui.SayItem(failure.empty() ? port : failure);
        }
        return {{}, kExitUsage};
    }
    const std::string& port = adapters.front();
    if (std::string failure = TryOpen(port); !failure.empty()) {
        ui.Say(failure);
        return {{}, kExitFailed};
    }
    ui.Say(kUsing + port);
    return {port, kExitOk};
}
